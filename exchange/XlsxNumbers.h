#pragma once

// Numbers as the worksheet holds them: the text of printf's "%.16G", the form libxlsxwriter
// writes, laid out without printf.

namespace exchange {

// The "%.16G" text of `value` at `out` (24 bytes at most); the end of the text.
char* PutG16(char* out, double value);

// The "%.16G" text of SingleAsDouble(value), the double that reads as the single's shortest form.
// Taken straight from that shortest form wherever the double's sixteen digits are its digits.
char* PutSingleG16(char* out, float value);

} // namespace exchange
