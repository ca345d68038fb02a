// A text table's line split at its delimiter, its fields given the text macros and
// the product name, as the texts reach the forms.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "language/Language_management.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const char16_t delimiter = static_cast<char16_t>(input.Byte());
    const int index = static_cast<int8_t>(input.Byte());
    const UString product = Units(input.Part());
    const UString text = Units(input.Rest());

    const UString field = GetDelimitedField(text, delimiter, index);
    FUZZ_CHECK(field.size() <= text.size());
    FUZZ_CHECK(index >= 0 || field.empty());
    const UString expanded = TlanguageManagement::ExpandTextMacros(field);
    TlanguageManagement::ReplaceProductName(expanded, product);
    // The text as a file line of the INI text files: key and value.
    const UString key = GetDelimitedField(text, u'=', 0);
    const UString value = ReplaceAll(GetDelimitedField(text, u'=', 1), u"@RETURN@", u"\r\n");
    TlanguageManagement::ExpandTextMacros(value);
    (void)key;
    return 0;
}
