#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrel {

// Import and export of name and address text files (one address a line,
// seven quoted fields) from and into address tables. Plain C++: the window
// asks the questions, shows progress and tells the outcome.

// Tells how far the work got; returns false to cancel it.
// Import counts bytes of the text file, export counts records.
using TransferProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Turns a line of a file that began with the UTF-8 byte-order mark into
// Windows-1252 text (the closest letter where the code page lacks one).
using Utf8Decoder = std::function<std::string(const std::string& utf8)>;

// The field list of a table that Import creates.
const std::vector<std::string>& importTableFields();

struct ImportOutcome {
  std::uint64_t records = 0;  // appended
  // Lines that could not be read: each became an empty record. The line
  // numbers of the first few, counted from 1, and how many there were.
  std::vector<std::uint64_t> unreadableLines;
  std::uint64_t unreadableCount = 0;
  bool cancelled = false;
};

// How many line numbers of unreadable lines are kept for the message.
inline constexpr std::size_t kUnreadableLinesShown = 10;

// Appends one record for every line of the text file to the table, which
// is created with importTableFields() when missing (or when `overwrite`
// removes it first). The table's append lock is held from the first line to
// the end. Throws on any error (the text file cannot be read, the table
// cannot be opened or lacks a field, a record cannot be written); records
// appended before it stay. The table is closed on every path.
ImportOutcome importNameAddressFile(const std::string& textPath, const std::string& tablePath,
                                    bool overwrite, const Utf8Decoder& decodeUtf8,
                                    const TransferProgress& progress = {});

struct ExportOutcome {
  std::uint64_t records = 0;  // lines written
  bool cancelled = false;
};

// Writes one line for every record of the table, deleted ones included, in
// record order, into a new text file (an existing one is replaced). Throws
// on any error, the lines written before it left in the file.
ExportOutcome exportNameAddressFile(const std::string& tablePath, const std::string& textPath,
                                    const TransferProgress& progress = {});

}  // namespace kestrel
