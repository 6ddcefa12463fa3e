// wsprintfA and wvsprintfA: Windows' own small printf, without floating point.
#include <cstdarg>
#include <cstdint>

#include "core/open_call.h"
#include "win/user.h"

namespace {

// Windows writes at most this many characters, then the terminating zero.
constexpr int kMaxCharacters = 1024;

class Output {
 public:
  explicit Output(char* buffer) : buffer_(buffer) {}
  void Put(char c) {
    if (count_ < kMaxCharacters)
      buffer_[count_++] = c;
  }
  void Repeat(char c, int times) {
    for (int i = 0; i < times; ++i)
      Put(c);
  }
  int Finish() {
    buffer_[count_] = '\0';
    return count_;
  }

 private:
  char* buffer_;
  int count_ = 0;
};

struct Conversion {
  bool left_align = false;
  bool zero_pad = false;
  bool alternate = false;  // '#': 0x before hexadecimal numbers
  int width = 0;
  int precision = -1;
  enum class Size { kDefault, kShort, kLong, kWide64 } size = Size::kDefault;
};

void PutPadded(Output& out, const Conversion& conversion, const char* text, int length) {
  const int padding = conversion.width > length ? conversion.width - length : 0;
  if (!conversion.left_align)
    out.Repeat(' ', padding);
  for (int i = 0; i < length; ++i)
    out.Put(text[i]);
  if (conversion.left_align)
    out.Repeat(' ', padding);
}

void PutNumber(Output& out, const Conversion& conversion, std::uint64_t magnitude, bool negative,
               int base, bool upper) {
  char digits[24];
  int count = 0;
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    digits[count++] = symbols[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  const int precision_zeros = conversion.precision > count ? conversion.precision - count : 0;

  char prefix[2];
  int prefix_length = 0;
  if (negative) {
    prefix[prefix_length++] = '-';
  } else if (conversion.alternate && base == 16) {
    prefix[prefix_length++] = '0';
    prefix[prefix_length++] = upper ? 'X' : 'x';
  }
  const int length = prefix_length + precision_zeros + count;
  const int padding = conversion.width > length ? conversion.width - length : 0;

  if (!conversion.left_align && !conversion.zero_pad)
    out.Repeat(' ', padding);
  for (int i = 0; i < prefix_length; ++i)
    out.Put(prefix[i]);
  if (!conversion.left_align && conversion.zero_pad)
    out.Repeat('0', padding);
  out.Repeat('0', precision_zeros);
  while (count > 0)
    out.Put(digits[--count]);
  if (conversion.left_align)
    out.Repeat(' ', padding);
}

void PutSigned(Output& out, const Conversion& conversion, va_list& arguments) {
  std::int64_t value;
  switch (conversion.size) {
    case Conversion::Size::kWide64:
      value = va_arg(arguments, long long);
      break;
    case Conversion::Size::kShort:
      value = static_cast<short>(va_arg(arguments, int));
      break;
    default:  // long is 32 bits wide in Windows
      value = va_arg(arguments, int);
      break;
  }
  const bool negative = value < 0;
  // Negating in unsigned arithmetic keeps the most negative value exact.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  PutNumber(out, conversion, magnitude, negative, 10, false);
}

std::uint64_t UnsignedArgument(const Conversion& conversion, va_list& arguments) {
  switch (conversion.size) {
    case Conversion::Size::kWide64:
      return va_arg(arguments, unsigned long long);
    case Conversion::Size::kShort:
      return static_cast<unsigned short>(va_arg(arguments, unsigned int));
    default:
      return va_arg(arguments, unsigned int);
  }
}

void PutString(Output& out, const Conversion& conversion, bool wide, va_list& arguments) {
  char narrowed[kMaxCharacters];
  const char* text;
  int length = 0;
  const int limit = conversion.precision >= 0 && conversion.precision < kMaxCharacters
                        ? conversion.precision
                        : kMaxCharacters;
  if (wide) {
    // Wide characters are Windows' 16-bit units; those outside ASCII become '?'.
    const auto* source = va_arg(arguments, const std::uint16_t*);
    if (source == nullptr) {
      text = "(null)";
      while (length < limit && text[length] != '\0')
        ++length;
    } else {
      while (length < limit && source[length] != 0) {
        narrowed[length] = source[length] < 0x80 ? static_cast<char>(source[length]) : '?';
        ++length;
      }
      text = narrowed;
    }
  } else {
    text = va_arg(arguments, const char*);
    if (text == nullptr)
      text = "(null)";
    while (length < limit && text[length] != '\0')
      ++length;
  }
  PutPadded(out, conversion, text, length);
}

void PutCharacter(Output& out, const Conversion& conversion, bool wide, va_list& arguments) {
  const unsigned int value = va_arg(arguments, unsigned int);
  char c = static_cast<char>(value);
  if (wide)
    c = (value & 0xFFFF) < 0x80 ? static_cast<char>(value) : '?';
  PutPadded(out, conversion, &c, 1);
}

int Format(char* buffer, const char* format, va_list& arguments) {
  Output out(buffer);
  const char* p = format;
  while (*p != '\0') {
    if (*p != '%') {
      out.Put(*p++);
      continue;
    }
    ++p;
    Conversion conversion;
    for (;; ++p) {
      if (*p == '-') {
        conversion.left_align = true;
      } else if (*p == '0') {
        conversion.zero_pad = true;
      } else if (*p == '#') {
        conversion.alternate = true;
      } else {
        break;
      }
    }
    while (*p >= '0' && *p <= '9')
      conversion.width = conversion.width * 10 + (*p++ - '0');
    if (*p == '.') {
      ++p;
      conversion.precision = 0;
      while (*p >= '0' && *p <= '9')
        conversion.precision = conversion.precision * 10 + (*p++ - '0');
    }
    if (*p == 'l') {
      conversion.size = Conversion::Size::kLong;
      ++p;
    } else if (*p == 'h') {
      conversion.size = Conversion::Size::kShort;
      ++p;
    } else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
      conversion.size = Conversion::Size::kWide64;
      p += 3;
    }
    const char type = *p;
    if (type == '\0')
      break;
    ++p;
    switch (type) {
      case 'd':
      case 'i':
        PutSigned(out, conversion, arguments);
        break;
      case 'u':
        PutNumber(out, conversion, UnsignedArgument(conversion, arguments), false, 10, false);
        break;
      case 'x':
      case 'X':
        PutNumber(out, conversion, UnsignedArgument(conversion, arguments), false, 16, type == 'X');
        break;
      // In the narrow version 's' and 'c' are narrow unless 'l' says wide; 'S' and 'C'
      // are wide unless 'h' says narrow.
      case 's':
        PutString(out, conversion, conversion.size == Conversion::Size::kLong, arguments);
        break;
      case 'S':
        PutString(out, conversion, conversion.size != Conversion::Size::kShort, arguments);
        break;
      case 'c':
        PutCharacter(out, conversion, conversion.size == Conversion::Size::kLong, arguments);
        break;
      case 'C':
        PutCharacter(out, conversion, conversion.size != Conversion::Size::kShort, arguments);
        break;
      default:
        // '%%' and anything unknown: the character itself, taking no argument.
        out.Put(type);
        break;
    }
  }
  return out.Finish();
}

}  // namespace

namespace {
// Both entry points: journal the call under its own name, then format.
int FormatCall(const char* operation, LPSTR buffer, LPCSTR format, va_list& arguments) {
  if (auto early = orv::platform::OpenCall(0, operation, format)) {
    if (buffer != nullptr)
      buffer[0] = '\0';
    return *early;
  }
  if (buffer == nullptr)
    return 0;
  if (format == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  return Format(buffer, format, arguments);
}
}  // namespace

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  const int written = FormatCall("wvsprintfA", buffer, format, copy);
  va_end(copy);
  return written;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = FormatCall("wsprintfA", buffer, format, arguments);
  va_end(arguments);
  return written;
}
