#pragma once

#include "clonefile/file_error.h"
#include "clonefile/file_lock.h"

#include <string>
#include <string_view>

namespace qx {
class indDocument;
class cmcGTex;
} // namespace qx

namespace qx::cli {

class StderrPrompt;

// The files of a command: clone files opened as the document and saved from it, and other
// output files. "-" stands for standard input or output. Every failure prints the editor's
// "File error." text, then a line with the path and the system's reason (or the line of the
// file at fault), and gives the file error exit status.
class CliFiles {
public:
    CliFiles(indDocument& document, StderrPrompt& prompt, cmcGTex& texts)
        : m_document(document), m_prompt(prompt), m_texts(texts) {}

    static bool isStandardStream(const std::string& path) { return path == "-"; }

    // Opens a clone file (or standard input) as the document. kExitOk or kExitFileError.
    int open(const std::string& path);
    // The same for a command that saves its result to `output`: when that is the file itself,
    // the file stays locked from now until the command ends, so that commands that change one
    // file take turns instead of one losing the other's change.
    int openForChange(const std::string& path, const std::string& output);
    // Saves the document to a clone file (or standard output).
    int save(const std::string& path);
    // Reads any other input file (or standard input) whole.
    int readText(const std::string& path, std::string& contents);
    // (save locks its clone file while it replaces it, unless it holds that lock already.)
    // Writes any other output file (or standard output), replacing it in one step.
    int writeText(const std::string& path, std::string_view contents);
    // Before a long operation whose result goes to `path`: whether that file can be written,
    // so that nothing is done in vain.
    int checkWritable(const std::string& path);
    // Refuses an output that is the input: it would be replaced by something else.
    int refuseSameFile(const std::string& input, const std::string& output);

    // The line after a failure's text: "PATH: REASON" (or "PATH: line N").
    static void printDetail(const std::string& path, const FileErrorDetail& detail);

private:
    int fail(FileErrorCode code, const std::string& path, const FileErrorDetail& detail);
    void lock(const std::string& path);

    indDocument& m_document;
    StderrPrompt& m_prompt;
    cmcGTex& m_texts;
    std::string m_stdinText; // standard input, kept: it cannot be read twice
    bool m_stdinRead = false;
    // At most one lock at a time: two commands that each wait for the other's file cannot be.
    FileLock m_lock;
};

} // namespace qx::cli
