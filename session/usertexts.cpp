#include "usertexts.h"

#include "langstrings.h"

#include <iterator>

namespace UserTexts {

namespace {
const char *const englishRefusals[] = {
    "That name is already taken.",
    "A name cannot be empty or contain \\ / : * ? \" < > |.",
    "A name can be at most 64 characters long.",
    "That name is reserved.",
    "The macro could not be renamed; nothing was changed.",
    "That change would not fit the mouse's 128-byte macro; it was not made.",
    "The file is larger than 1 MiB and was not imported.",
    "The macro in that file does not fit the mouse's 128 bytes; it was not imported.",
    "The change could not be saved in the data folder; it is kept and saved again with the "
    "next change.",
    "The file could not be imported.",
    "Damaged settings files were set aside as .damaged; their factory values are used.",
    "The device table was damaged; the factory table is used.",
    "The file could not be written.",
    "The data folder could not be written; the change was not made.",
    "The data folder could not be created; changes are kept only until the program quits.",
    "The desktop's autostart entry could not be changed.",
};
static_assert(std::size(englishRefusals) == RefusalCount);

const char *const englishNotices[] = {
    "Unsaved changes",
    "The changes to this profile are not saved.",
    "Save",
    "Discard",
    "Cancel",
    "The settings were not written to the mouse. Check that it is connected and try again.",
    "LOADING ......",
    "The mouse does not hold all of this profile yet: Save sends it.",
    "No program could open %1.",
    "The settings are still being written to the mouse; Skarn Config quits once that is done.",
};
static_assert(std::size(englishNotices) == NoticeCount);

const char *const englishPointer[] = {
    "The desktop did not take the pointer speed.",
    "The desktop did not take the double-click speed.",
    "The desktop did not take the wheel scroll amount.",
    "Not settable on Linux; kept for Windows",
    "Not settable here; kept for Windows",
};

QString text(const QString &root, const char *group, const QString &language, int index,
             const char *const *english, int count, const FileReplace::SetAsideNotice &notice)
{
    if (index < 0 || index >= count)
        return {};
    const QString text =
        LangStrings::read(root, QString::fromLatin1(group), language, notice).value(index);
    return text.isEmpty() ? QString::fromUtf8(english[index]) : text;
}
} // namespace

QString refusal(const QString &root, const QString &language, int reason,
                const FileReplace::SetAsideNotice &notice)
{
    return text(root, "refusal", language, reason, englishRefusals, RefusalCount, notice);
}

QString notice(const QString &root, const QString &language, int which,
               const FileReplace::SetAsideNotice &setAside)
{
    return text(root, "notice", language, which, englishNotices, NoticeCount, setAside);
}

QString pointer(const QString &root, const QString &language, int which)
{
    // The group was first delivered in Chinese only.
    return text(root, "pointer",
                language.isEmpty() ? QStringLiteral("ChineseSimplified") : language, which,
                englishPointer, int(std::size(englishPointer)), {});
}

} // namespace UserTexts
