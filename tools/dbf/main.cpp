// kestrel-dbf: look into, dump, create and append to dBASE tables.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "core/InfoOptions.h"
#include "dbase/DateText.h"
#include "dbase/ETableError.h"
#include "dbase/TableWarnings.h"
#include "tools/dbf/DbfCommands.h"
#include "tools/dbf/Utf8Text.h"

namespace {

constexpr const char* kUsage =
    "Usage: kestrel-dbf info FILE\n"
    "  or:  kestrel-dbf dump FILE [--order FIELD]\n"
    "  or:  kestrel-dbf pack FILE\n"
    "  or:  kestrel-dbf append-from TARGET SOURCE\n"
    "  or:  kestrel-dbf create FILE DEF...      (DEF such as \"sentname0,C,30,0\")\n"
    "  or:  kestrel-dbf append FILE < rows.csv\n"
    "  or:  kestrel-dbf hold-lock FILE SECONDS\n"
    "Text is UTF-8; dates are read as month/day/year and dumped as YYYYMMDD.\n"
    "dump writes one CSV row per record, the first column \"*\" for a deleted record.\n"
    "dump --order builds FIELD.MDX beside the table and dumps in its order.\n"
    "append takes the append lock once for all rows, trying for up to a second;\n"
    "when it is refused, no row is appended.\n"
    "Exit status: 0 done, 1 error, 2 usage, 3 append lock or exclusive use refused.\n";

int usage() {
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kestrel;
  if (answerInfoOption(argc, argv, "kestrel-dbf",
                       kUsage + std::string("\nReads and writes dBASE tables (the mailing log and "
                                            "address tables) with Kestrel's own storage layer.\n"),
                       std::cout))
    return 0;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return usage();
  SetProgramDateFormat("M/d/yyyy");
  SetWarningHandler([](const std::string&, const std::string& text) {
    std::cerr << "warning: " << tools::ansiToUtf8(text) << '\n';
  });
  const std::string& command = args[0];
  const std::string& file = args[1];
  try {
    if (command == "info" && args.size() == 2) return tools::infoCommand(file, std::cout);
    if (command == "dump" && args.size() == 2) return tools::dumpCommand(file, std::cout);
    if (command == "dump" && args.size() == 4 && args[2] == "--order")
      return tools::dumpCommand(file, std::cout, args[3]);
    if (command == "pack" && args.size() == 2) return tools::packCommand(file, std::cerr);
    if (command == "append-from" && args.size() == 3)
      return tools::appendFromCommand(file, args[2], std::cerr);
    if (command == "create" && args.size() >= 3) {
      return tools::createCommand(file, {args.begin() + 2, args.end()}, std::cerr);
    }
    if (command == "append" && args.size() == 2)
      return tools::appendCommand(file, std::cin, std::cerr);
    if (command == "hold-lock" && args.size() == 3) {
      char* end = nullptr;
      double seconds = std::strtod(args[2].c_str(), &end);
      if (end == args[2].c_str() || *end != '\0' || seconds < 0) return usage();
      return tools::holdLockCommand(file, seconds, std::cout, std::cerr);
    }
  } catch (const std::exception& e) {
    std::cerr << tools::ansiToUtf8(e.what()) << '\n';
    return 1;
  }
  return usage();
}
