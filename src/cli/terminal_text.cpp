#include "cli/terminal_text.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>

#include "platform/text_encoding.h"

namespace velmora::cli {
namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0; its character in `code`.
std::size_t Utf8SequenceLength(std::string_view text, char32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t min = 0;
  code = lead;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) length = 2, min = 0x80;
  else if ((lead & 0xF0) == 0xE0) length = 3, min = 0x800;
  else if ((lead & 0xF8) == 0xF0) length = 4, min = 0x10000;
  else return 0;
  if (text.size() < length) return 0;
  code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
  if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

void AppendOctal(std::string& out, unsigned char byte) {
  out += '\\';
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t code = 0;
    const std::size_t length = Utf8SequenceLength(text, code);
    const auto lead = static_cast<unsigned char>(text[0]);
    if (length == 0 || IsControlCharacter(code)) {
      const std::size_t bytes = length == 0 ? 1 : length;
      for (std::size_t i = 0; i < bytes; ++i) AppendOctal(out, static_cast<unsigned char>(text[i]));
      text.remove_prefix(bytes);
      continue;
    }
    if (lead == '\\') out += '\\';
    out.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return out;
}

int TerminalColumns(std::FILE* stream) {
  winsize size = {};
  if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

Streams Streams::Standard() {
  static const Streams streams{stdout, stderr, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1};
  return streams;
}

void Streams::Out(const std::string& line) const { Print(out, line); }

void Streams::Err(const std::string& line) const { Print(err, line); }

void Streams::Print(std::FILE* stream, const std::string& line) const {
  const bool terminal = stream == out ? outIsTerminal : errIsTerminal;
  const std::string shown = terminal ? EscapeForTerminal(line) : line;
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fputc('\n', stream);
}

}  // namespace velmora::cli
