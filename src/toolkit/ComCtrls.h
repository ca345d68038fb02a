#pragma once
// The progress bar and the rich-text view.
#include <string>

#include "toolkit/Controls.h"

class TProgressBar : public TControl {
public:
    explicit TProgressBar(TComponent* owner);
    UString ClassName() const override { return u"TProgressBar"; }

    int Min() const;
    int Max() const;
    // Keeps Position inside the new range.
    void SetRange(int min, int max);
    int Position() const;
    // Clamped to Min..Max.
    void SetPosition(int position);
    int Step() const;
    void SetStep(int step);
    // Position + Step, wrapping to Min past Max, as the Windows control does.
    void StepIt();

private:
    int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Shows rich text (RTF); a file that is not RTF is shown as plain text.
class TRichEdit : public TControl {
public:
    explicit TRichEdit(TComponent* owner);
    UString ClassName() const override { return u"TRichEdit"; }

    // Reads the file through the platform. False when it is missing or unreadable;
    // the content is then unchanged.
    bool LoadFromFile(const UString& path);
    // The same with a document already in memory (RTF, or text with its encoding's
    // byte-order mark).
    void LoadFromBytes(std::string bytes);
    void Clear();
    // The document as it was read (RTF or text bytes).
    std::string Content() const;
    bool IsRtf() const;
    // The visible text, paragraphs ended by CR LF.
    UString Text() const;

    bool ReadOnly() const;
    void SetReadOnly(bool on);
    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle s);

    // Prints the whole content on the printer the last print dialog chose (the
    // default printer when none was chosen), as one job with this title. False when
    // nothing could be printed.
    bool Print(const UString& jobTitle);

private:
    std::string content_;
    bool rtf_ = false;
    UString text_;
    bool readOnly_ = false;
    TScrollStyle scrollBars_ = ssNone;
};
