#pragma once
// The upgrade progress page. It is created with the other pages, but no path of the
// wizard shows it.
#include "toolkit/Forms.h"

class TFUpgradeAndRepair : public TForm {
public:
    explicit TFUpgradeAndRepair(TComponent* owner);
    ~TFUpgradeAndRepair() override;
    UString ClassName() const override { return u"TFUpgradeAndRepair"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TLabel* lb_Title = nullptr;
    TPanel* p_Client = nullptr;
    TLabel* lb_Upgrade = nullptr;
    TLabel* lb_UpgradeProc = nullptr;
    TProgressBar* pb_Upgrade = nullptr;
    TPanel* p_Bottom = nullptr;
    TButton* bt_Cancel = nullptr;
};

extern TFUpgradeAndRepair* FUpgradeAndRepair;
