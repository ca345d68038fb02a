#pragma once
// The licence page: the licence agreement, which the user must accept to go on,
// and can print.
#include "toolkit/Forms.h"

class TFEULA : public TForm {
public:
    explicit TFEULA(TComponent* owner);
    ~TFEULA() override;
    UString ClassName() const override { return u"TFEULA"; }

    TPanel* p_Top = nullptr;
    TImage* im_Title = nullptr;
    TPanel* p_Client = nullptr;
    TRichEdit* re_EULA = nullptr;
    TRadioButton* rb_AgreeEULA = nullptr;
    TRadioButton* rb_DisapproveOfEULA = nullptr;
    TButton* bt_PrintEULA = nullptr;
    TPanel* p_Bottom = nullptr;
    TLabel* lb_Version = nullptr;
    TButton* bt_Next = nullptr;
    TButton* bt_Previous = nullptr;
    TButton* bt_Cancel = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;

    // Runs once the constructor has finished.
    void FormCreate(TObject* Sender);
    // Both radio buttons.
    void rb_AgreeEULAClick(TObject* Sender);
    void bt_NextClick(TObject* Sender);
    void bt_PreviousClick(TObject* Sender);
    void bt_CancelClick(TObject* Sender);
    void bt_PrintEULAClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    // The folder of the licence under "EULA\" for a language name; "en" for names
    // without a licence of their own.
    static UString GetEulaLanguageCode(const UString& languageName);
};

extern TFEULA* FEULA;
