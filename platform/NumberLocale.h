#pragma once

namespace platform {

// Qt takes the user's locale for the C library at start-up; under a comma-decimal locale
// (fr_BE, for one) printf would write "50,85" and strtod would read "50.85" as 50 in the files
// and number texts the program writes and reads. Number texts follow the program's own rules,
// so the C library's numbers keep the "C" notation. Called once the application object exists.
void KeepCNumberNotation();

} // namespace platform
