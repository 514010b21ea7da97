#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace velmora::cli {

// Text as a terminal should show it: a control character (C0, DEL, C1, a bidirectional or line
// separator character: see IsControlCharacter)
// and a byte that is not part of valid UTF-8 become a backslash and three octal digits (ESC is
// "\033"), and a backslash becomes "\\", so that no name can move the cursor, retitle the
// window or pass for another. Everything else is kept as it is.
std::string EscapeForTerminal(std::string_view text);

// The columns of the terminal behind `stream`, or 80 where it cannot tell (not a terminal).
int TerminalColumns(std::FILE* stream);

// Where the program's lines go, and whether each stream is a terminal (decided once, at start).
// Into a pipe or a file, names stay byte for byte what they are, for scripts.
struct Streams {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool outIsTerminal = false;
  bool errIsTerminal = false;

  static Streams Standard();
  // Prints `line` and a newline to out or err, escaped on a terminal.
  void Out(const std::string& line) const;
  void Err(const std::string& line) const;
  void Print(std::FILE* stream, const std::string& line) const;
};

}  // namespace velmora::cli
