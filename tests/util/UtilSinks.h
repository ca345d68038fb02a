#pragma once
// A label and a progress bar that remember what the file-tree operations showed.
#include <vector>

#include "util/Xfunctions.h"

struct RecordingLabel : ITextSink {
    std::vector<UString> texts;
    void SetText(const UString& text) override { texts.push_back(text); }
};

struct FakeBar : IProgressSink {
    int position = 0;
    int Position() override { return position; }
    void SetPosition(int p) override { position = p; }
};
