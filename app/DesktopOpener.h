#pragma once

#include <QString>
#include <functional>

class QUrl;

namespace app {

// Opens `url` with the desktop's program for it. The desktop's opener (xdg-open, found on the
// PATH) runs as a child process, whose exit status tells whether a program took the address; a
// desktop without it is asked through Qt's services. Returns false when nothing could be asked;
// `failed` runs later, from the event loop, when the opener ran but could not open the address
// (xdg-open without a web browser), so that no failure goes unseen.
bool OpenWithDesktop(const QUrl& url, std::function<void()> failed);

// Opens the help page at `page` in the desktop's browser. When no program can show it, a message
// in the chosen language says so and where the page is.
void OpenHelpPage(const QString& page);

// That message: why the help does not show and the page's path.
QString HelpNotShownText(const QString& page);

} // namespace app
