#include "support/GatedMachine.h"

void GatedMachine::Hold(Gated what, const UString& fileName)
{
    std::lock_guard g(lock_);
    gated_ = what;
    held_ = u"\\" + fileName;
    closed_ = true;
}

void GatedMachine::HoldCopiesTo(const UString& fileName) { Hold(Gated::Copies, fileName); }

void GatedMachine::HoldDeletionsOf(const UString& fileName) { Hold(Gated::Deletions, fileName); }

void GatedMachine::Release()
{
    {
        std::lock_guard g(lock_);
        closed_ = false;
    }
    opened_.notify_all();
}

int GatedMachine::Arrivals()
{
    std::lock_guard g(lock_);
    return arrivals_;
}

void GatedMachine::Pass(Gated what, const UString& path)
{
    std::unique_lock g(lock_);
    if (gated_ != what || held_.empty() || path.size() < held_.size() ||
        path.compare(path.size() - held_.size(), held_.size(), held_) != 0)
        return;
    ++arrivals_;
    opened_.wait(g, [this] { return !closed_; });
}

bool GatedMachine::CopyFile(const UString& from, const UString& to, bool failIfExists)
{
    Pass(Gated::Copies, to);
    return SimMachine::CopyFile(from, to, failIfExists);
}

bool GatedMachine::DeleteFile(const UString& path)
{
    Pass(Gated::Deletions, path);
    return SimMachine::DeleteFile(path);
}
