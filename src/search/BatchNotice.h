#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/FileError.h"
#include "common/Regex.h"
#include "search/BatchRun.h"

// The message boxes of the batch runs, shown through AskUser. Texts are given
// in UTF-8 and shown in the text code page.
namespace kelvara {

// "确定要替换吗？" (question, No as default); true when answered Yes.
bool ConfirmReplace();

// The error of the file at which a run ran out of memory.
FileError OutOfMemory(const std::string& path);

// Ends a run on a file error: tells the observer (may be null) that the run
// ends, shows "path: reason" in an error box and returns the result marked
// as failed.
BatchResult FailRun(BatchObserver* observer, BatchResult result, const FileError& error);

// What is wrong with a regular expression or its replacement, in words
// (UTF-8), at its column where it has one.
std::string PatternFaultText(const PatternError& error);

// Ends a run whose regular expression (or its replacement) cannot be used,
// before any file is read: tells the observer (may be null), shows the fault
// and returns the result marked as failed.
BatchResult FailPattern(BatchObserver* observer, BatchResult result, const PatternError& error);

// The notice at the end of a run ("查找完毕", "替换完毕"), after telling the
// observer (may be null) that the run ends; the files that were not
// rewritten because they hold NUL bytes or because another program changed
// them during the run, those left alone because of their encoding (with the
// reason), and the lines whose search a regular expression's match limit
// ended follow it, one a line.
void ShowDoneNotice(BatchObserver* observer, std::string_view utf8Text,
                    const std::vector<std::string>& nulFiles,
                    const std::vector<std::string>& changedFiles,
                    const std::vector<LeftFile>& encodingFiles,
                    const std::vector<CutLine>& cutLines);

} // namespace kelvara
