#pragma once

#include <ostream>
#include <string>

namespace kestrel {

// The program's version as its package and manual pages give it ("4.0.0").
std::string packageVersion();

// The two questions every installed command answers without doing anything
// else, so that an administrator (and the manual pages made from the
// answers) can ask any of them: "--help" writes `help`, "--version" the
// command's name and the program's version, both to `out`. True when the
// arguments were one of them, alone.
bool answerInfoOption(int argc, const char* const* argv, const std::string& command,
                      const std::string& help, std::ostream& out);

}  // namespace kestrel
