#pragma once
// The ask-upgrade page. It is created with the other pages, but no path of the
// wizard shows it.
#include "toolkit/Forms.h"

class TFAskUpgradeAndRepair : public TForm {
public:
    explicit TFAskUpgradeAndRepair(TComponent* owner);
    ~TFAskUpgradeAndRepair() override;
    UString ClassName() const override { return u"TFAskUpgradeAndRepair"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TLabel* lb_Title = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_AskUpgradeAndRepair = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Upgrade = nullptr;
    TButton* bt_Cancel = nullptr;
};

extern TFAskUpgradeAndRepair* FAskUpgradeAndRepair;
