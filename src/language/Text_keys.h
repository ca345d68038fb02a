#pragma once
// The keys of the texts the program asks for outside the form-text appliers, named
// once: the code that shows or writes a text uses these names, and the package
// checker asks for exactly the same list.

namespace textkeys {

inline constexpr char16_t UninstallSection[] = u"UNINSTALL";

// Section "InstallWizard" (App.TextSection).
inline constexpr char16_t ProductName[] = u"ProductName";
// The preparation form's own caption, looked up under its component name.
inline constexpr char16_t PrepareCaption[] = u"FPrepare->Caption";
inline constexpr char16_t Msg001[] = u"MSG_001";
inline constexpr char16_t Msg101[] = u"MSG_101";
inline constexpr char16_t Msg102[] = u"MSG_102";
inline constexpr char16_t Msg201[] = u"MSG_201";
inline constexpr char16_t Msg302[] = u"MSG_302";
inline constexpr char16_t Msg501[] = u"MSG_501";
inline constexpr char16_t Msg503[] = u"MSG_503";
// The install thread's step texts.
inline constexpr char16_t CopyFiles[] = u"CopyFiles";
inline constexpr char16_t WriteRegOnUninstallFolder[] = u"WriteRegOnUninstallFolder";
inline constexpr char16_t WriteRegOnBootName[] = u"WriteRegOnBootName";
inline constexpr char16_t CreateLinks[] = u"CreateLinks";
inline constexpr char16_t WriteRegOnPrivateFolder[] = u"WriteRegOnPrivateFolder";

// Section "UNINSTALL": the uninstall entry, the Start-menu folders and the shortcuts.
inline constexpr char16_t DisplayName[] = u"DISPLAY_NAME";
inline constexpr char16_t Publisher[] = u"PUBLISHER";
inline constexpr char16_t Url[] = u"URL";
inline constexpr char16_t LinkProgramsPublisher[] = u"LINK_PROGRAMS_PUBLISHER";
inline constexpr char16_t LinkProgramsFolder[] = u"LINK_PROGRAMS_FOLDER";
inline constexpr char16_t LinkProgramsExec[] = u"LINK_PROGRAMS_EXEC";
inline constexpr char16_t LinkProgramsUnist[] = u"LINK_PROGRAMS_UNIST";
inline constexpr char16_t LinkProgramsManual[] = u"LINK_PROGRAMS_MANUAL";
inline constexpr char16_t LinkDesktop[] = u"LINK_DESKTOP";

// Every key above by section, for whoever needs the whole list.
inline constexpr const char16_t* WizardKeys[] = {ProductName,
                                                 PrepareCaption,
                                                 Msg001,
                                                 Msg101,
                                                 Msg102,
                                                 Msg201,
                                                 Msg302,
                                                 Msg501,
                                                 Msg503,
                                                 CopyFiles,
                                                 WriteRegOnUninstallFolder,
                                                 WriteRegOnBootName,
                                                 CreateLinks,
                                                 WriteRegOnPrivateFolder};
inline constexpr const char16_t* UninstallKeys[] = {DisplayName,           Publisher,          Url,
                                                    LinkProgramsPublisher, LinkProgramsFolder, LinkProgramsExec,
                                                    LinkProgramsUnist,     LinkProgramsManual, LinkDesktop};

}  // namespace textkeys
