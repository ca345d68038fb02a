#pragma once
// The package checker: reads a package as Setup.exe would, with the program's own
// start-up, text loading, lookup, form texts and picture and licence searches, once
// for each of the 34 languages, and lists what a customer would miss.
#include <string>
#include <vector>

class PackagePlatform;

enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity = Severity::Error;
    std::string kind;   // a fixed name for scripts ("missing-text", "picture-fallback", ...)
    std::string file;   // relative to the package, backslashes as Windows writes them
    std::string where;  // the key, cell or section it concerns; may be empty
    std::string message;
    std::vector<std::string> languages;  // empty: the same for every language
};

struct PackageReport {
    std::string package;  // as the user named it
    std::vector<Finding> findings;
    int Count(Severity severity) const;
};

// Checks the package behind the platform (its Setup.exe path is the package's).
// Installs the platform as Platform() for the duration and replaces the start-up
// message box; the global App holds the last language's state afterwards.
PackageReport CheckPackage(PackagePlatform& platform, const std::string& displayName);

// Grouped by severity, one finding a line.
std::string FormatText(const PackageReport& report);
std::string FormatJson(const PackageReport& report);
