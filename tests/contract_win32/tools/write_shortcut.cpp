// Writes one shortcut through the platform, for tools that read .lnk files to check:
//   write_shortcut <link> <target> <arguments> <working dir> <description> <icon> <icon index>
// Empty arguments, working dir or icon are passed as "".
#include <cstdio>

#include "platform/Platform.h"

int main()
{
    const std::vector<UString> args = Platform().CommandLineArgs();
    if (args.size() != 7) {
        std::fputs("usage: write_shortcut <link> <target> <arguments> <working dir> <description> <icon> <index>\n",
                   stderr);
        return 2;
    }
    ShortcutSpec link;
    link.linkPath = args[0];
    link.target = args[1];
    link.arguments = args[2];
    link.workingDir = args[3];
    link.description = args[4];
    link.iconPath = args[5];
    for (char16_t c : args[6]) {
        if (c < u'0' || c > u'9')
            return 2;
        link.iconIndex = link.iconIndex * 10 + (c - u'0');
    }
    if (!Platform().WriteShortcut(link)) {
        std::fprintf(stderr, "write_shortcut: not saved, error %u\n", Platform().LastError());
        return 1;
    }
    return 0;
}
