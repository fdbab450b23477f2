#pragma once

#include <QString>

#include "filereplace.h"

// What the program tells its user, in the language of the data folder's
// global settings, with English built in where the language file lacks a
// text.
namespace UserTexts {
// Why a change was refused or not kept: the language file's group
// "refusal", in this order.
enum Refusal {
    NameTaken,
    NameNotFileName,
    NameTooLong,
    NameReserved,
    RenameFailed,
    MacroTooLong,
    FileTooLarge,
    ImportTooLong,
    NotSaved,
    ImportFailed,
    DamagedFiles,
    DamagedDeviceTable,
    ExportFailed,
    NotMade,
    TemporaryDataFolder,
    AutostartNotChanged,
    RefusalCount
};

// The group "notice" (the scene's noticeLang): the ones said from here.
enum Notice { NotWritten = 5, ProfileOwed = 7, FinishingTransfer = 9, NoticeCount = 10 };

QString refusal(const QString &root, const QString &language, int reason,
                const FileReplace::SetAsideNotice &notice = {});
QString notice(const QString &root, const QString &language, int which,
               const FileReplace::SetAsideNotice &setAside = {});
// The group "pointer": 0 to 2 the desktop did not take the pointer speed,
// the double-click speed, the wheel amount; 3 and 4 why it cannot at all.
QString pointer(const QString &root, const QString &language, int which);
} // namespace UserTexts
