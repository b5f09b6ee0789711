#pragma once

#include <QString>

namespace app {

// The help page of a language: French for French, English for every other language.
QString HelpPageName(int langue);
// The page's HTML, our own short guide.
QString HelpPageHtml(int langue);
// Writes the page into the run's private folder (beside the working database) and returns its
// path, ready for the browser; empty when it cannot be written.
QString WriteHelpPage(int langue);

} // namespace app
