#include "app/HelpPages.h"

#include "document/WorkDatabase.h"
#include "platform/FileReplacement.h"
#include "platform/StringTable.h"

#include <QDir>

namespace app {

namespace {

const char* const kFrench = R"HTML(<!DOCTYPE html>
<html lang="fr"><head><meta charset="utf-8"><title>Aide de DOVazov</title></head>
<body>
<h1>DOVazov</h1>
<p>DOVazov édite des fichiers de distribution (<code>.deg</code>) : chaque ligne est une
observation avec sa période, sa position, deux nombres, une date, le sexe, le datum, les
coordonnées saisies et un commentaire.</p>
<h2>Fichier</h2>
<ul>
<li><b>Nouveau</b> crée un document du nombre de lignes vierges demandé.</li>
<li><b>Ouvrir</b> lit un fichier ; <b>Fusionner</b> ajoute les lignes d'un autre fichier de même
datum.</li>
<li><b>Enregistrer</b> garde l'ancienne version sous l'extension <code>.BAK</code> ;
<b>Enregistrer sous</b> écrit sous un autre nom.</li>
<li>Les quatre derniers fichiers ouverts se trouvent au bas du menu Fichier.</li>
<li>Un document modifié est proposé à l'enregistrement avant Nouveau, Ouvrir et Quitter.</li>
</ul>
<h2>Tableau</h2>
<p>Les colonnes Période, Nombre 1, Nombre 2, Sexe et Commentaire se modifient directement dans le
tableau. Les positions, le datum, les coordonnées originales et la date se modifient dans la
fenêtre d'édition. Le tri se choisit dans la liste « Tri ».</p>
<h2>Options</h2>
<p>Le menu Langue change la langue des menus et des fenêtres. L'enregistrement automatique se
règle dans les préférences.</p>
</body></html>
)HTML";

const char* const kEnglish = R"HTML(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>DOVazov help</title></head>
<body>
<h1>DOVazov</h1>
<p>DOVazov edits distribution files (<code>.deg</code>): each line is one observation with its
period, position, two numbers, a date, the sex, the datum, the coordinates as entered and a
comment.</p>
<h2>File</h2>
<ul>
<li><b>New</b> creates a document with the number of blank lines you give.</li>
<li><b>Open</b> reads a file; <b>Merge</b> appends the lines of another file of the same
datum.</li>
<li><b>Save</b> keeps the previous version with the extension <code>.BAK</code>;
<b>Save as</b> writes under another name.</li>
<li>The four most recent files are listed at the bottom of the File menu.</li>
<li>A changed document is offered for saving before New, Open and Exit.</li>
</ul>
<h2>Table</h2>
<p>The Period, Number 1, Number 2, Sex and Comments columns can be typed into directly. Positions,
datum, original coordinates and date are changed in the record editor. Choose the order of the
rows in the "Sort" list.</p>
<h2>Options</h2>
<p>The Language menu changes the language of the menus and windows. The automatic save is set in
the preferences.</p>
</body></html>
)HTML";

} // namespace

QString HelpPageName(int langue) {
    return langue == platform::kFrench ? QStringLiteral("DOVAZOVF.html")
                                       : QStringLiteral("DOVAZOVE.html");
}

QString HelpPageHtml(int langue) {
    return QString::fromUtf8(langue == platform::kFrench ? kFrench : kEnglish);
}

QString WriteHelpPage(int langue) {
    const QString folder = document::WorkFolder();
    if (folder.isEmpty()) {
        return {};
    }
    const QString path = QDir(folder).filePath(HelpPageName(langue));
    try {
        platform::ReplaceFile(path, HelpPageHtml(langue).toUtf8());
    } catch (const platform::FileWriteError&) {
        return {};
    }
    return path;
}

} // namespace app
