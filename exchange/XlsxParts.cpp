#include "exchange/XlsxParts.h"

namespace exchange::xlsx {

namespace {

// clang-format off
constexpr const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types"
    " xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\""
    " ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/docProps/app.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/"
    ">"
    "<Override PartName=\"/docProps/core.xml\""
    " ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\""
    "/>"
    "<Override PartName=\"/xl/theme/theme1.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+"
    "xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\""
    " ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+x"
    "ml\"/></Types>";

constexpr const char* kRootRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships"
    " xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocu"
    "ment\" Target=\"xl/workbook.xml\"/>"
    "<Relationship Id=\"rId2\""
    " Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-pro"
    "perties\" Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-p"
    "roperties\" Target=\"docProps/app.xml\"/></Relationships>";

constexpr const char* kWorkbookRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships"
    " xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\""
    " Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme\""
    " Target=\"theme/theme1.xml\"/>"
    "<Relationship Id=\"rId3\""
    " Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\""
    " Target=\"styles.xml\"/></Relationships>";

constexpr const char* kTheme =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a:theme"
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"Office Theme\">"
    "<a:themeElements><a:clrScheme name=\"Office\"><a:dk1>"
    "<a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1><a:lt1>"
    "<a:sysClr val=\"window\" lastClr=\"FFFFFF\"/></a:lt1><a:dk2><a:srgbClr val=\"1F497D\"/>"
    "</a:dk2><a:lt2><a:srgbClr val=\"EEECE1\"/></a:lt2><a:accent1><a:srgbClr val=\"4F81BD\"/>"
    "</a:accent1><a:accent2><a:srgbClr val=\"C0504D\"/></a:accent2><a:accent3>"
    "<a:srgbClr val=\"9BBB59\"/></a:accent3><a:accent4><a:srgbClr val=\"8064A2\"/></a:accent4>"
    "<a:accent5><a:srgbClr val=\"4BACC6\"/></a:accent5><a:accent6><a:srgbClr val=\"F79646\"/>"
    "</a:accent6><a:hlink><a:srgbClr val=\"0000FF\"/></a:hlink><a:folHlink>"
    "<a:srgbClr val=\"800080\"/></a:folHlink></a:clrScheme><a:fontScheme name=\"Office\">"
    "<a:majorFont><a:latin typeface=\"Cambria\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>"
    "<a:font script=\"Jpan\" typeface=\"ＭＳ Ｐゴシック\"/><a:font script=\"Hang\" typeface=\"맑은 고딕\"/>"
    "<a:font script=\"Hans\" typeface=\"宋体\"/><a:font script=\"Hant\" typeface=\"新細明體\"/>"
    "<a:font script=\"Arab\" typeface=\"Times New Roman\"/>"
    "<a:font script=\"Hebr\" typeface=\"Times New Roman\"/>"
    "<a:font script=\"Thai\" typeface=\"Tahoma\"/><a:font script=\"Ethi\" typeface=\"Nyala\"/>"
    "<a:font script=\"Beng\" typeface=\"Vrinda\"/><a:font script=\"Gujr\" typeface=\"Shruti\"/>"
    "<a:font script=\"Khmr\" typeface=\"MoolBoran\"/><a:font script=\"Knda\" typeface=\"Tunga\"/>"
    "<a:font script=\"Guru\" typeface=\"Raavi\"/><a:font script=\"Cans\" typeface=\"Euphemia\"/>"
    "<a:font script=\"Cher\" typeface=\"Plantagenet Cherokee\"/>"
    "<a:font script=\"Yiii\" typeface=\"Microsoft Yi Baiti\"/>"
    "<a:font script=\"Tibt\" typeface=\"Microsoft Himalaya\"/>"
    "<a:font script=\"Thaa\" typeface=\"MV Boli\"/><a:font script=\"Deva\" typeface=\"Mangal\"/>"
    "<a:font script=\"Telu\" typeface=\"Gautami\"/><a:font script=\"Taml\" typeface=\"Latha\"/>"
    "<a:font script=\"Syrc\" typeface=\"Estrangelo Edessa\"/>"
    "<a:font script=\"Orya\" typeface=\"Kalinga\"/><a:font script=\"Mlym\" typeface=\"Kartika\"/>"
    "<a:font script=\"Laoo\" typeface=\"DokChampa\"/>"
    "<a:font script=\"Sinh\" typeface=\"Iskoola Pota\"/>"
    "<a:font script=\"Mong\" typeface=\"Mongolian Baiti\"/>"
    "<a:font script=\"Viet\" typeface=\"Times New Roman\"/>"
    "<a:font script=\"Uigh\" typeface=\"Microsoft Uighur\"/></a:majorFont><a:minorFont>"
    "<a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>"
    "<a:font script=\"Jpan\" typeface=\"ＭＳ Ｐゴシック\"/><a:font script=\"Hang\" typeface=\"맑은 고딕\"/>"
    "<a:font script=\"Hans\" typeface=\"宋体\"/><a:font script=\"Hant\" typeface=\"新細明體\"/>"
    "<a:font script=\"Arab\" typeface=\"Arial\"/><a:font script=\"Hebr\" typeface=\"Arial\"/>"
    "<a:font script=\"Thai\" typeface=\"Tahoma\"/><a:font script=\"Ethi\" typeface=\"Nyala\"/>"
    "<a:font script=\"Beng\" typeface=\"Vrinda\"/><a:font script=\"Gujr\" typeface=\"Shruti\"/>"
    "<a:font script=\"Khmr\" typeface=\"DaunPenh\"/><a:font script=\"Knda\" typeface=\"Tunga\"/>"
    "<a:font script=\"Guru\" typeface=\"Raavi\"/><a:font script=\"Cans\" typeface=\"Euphemia\"/>"
    "<a:font script=\"Cher\" typeface=\"Plantagenet Cherokee\"/>"
    "<a:font script=\"Yiii\" typeface=\"Microsoft Yi Baiti\"/>"
    "<a:font script=\"Tibt\" typeface=\"Microsoft Himalaya\"/>"
    "<a:font script=\"Thaa\" typeface=\"MV Boli\"/><a:font script=\"Deva\" typeface=\"Mangal\"/>"
    "<a:font script=\"Telu\" typeface=\"Gautami\"/><a:font script=\"Taml\" typeface=\"Latha\"/>"
    "<a:font script=\"Syrc\" typeface=\"Estrangelo Edessa\"/>"
    "<a:font script=\"Orya\" typeface=\"Kalinga\"/><a:font script=\"Mlym\" typeface=\"Kartika\"/>"
    "<a:font script=\"Laoo\" typeface=\"DokChampa\"/>"
    "<a:font script=\"Sinh\" typeface=\"Iskoola Pota\"/>"
    "<a:font script=\"Mong\" typeface=\"Mongolian Baiti\"/>"
    "<a:font script=\"Viet\" typeface=\"Arial\"/>"
    "<a:font script=\"Uigh\" typeface=\"Microsoft Uighur\"/></a:minorFont></a:fontScheme>"
    "<a:fmtScheme name=\"Office\"><a:fillStyleLst><a:solidFill><a:schemeClr val=\"phClr\"/>"
    "</a:solidFill><a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\">"
    "<a:schemeClr val=\"phClr\"><a:tint val=\"50000\"/><a:satMod val=\"300000\"/></a:schemeClr>"
    "</a:gs><a:gs pos=\"35000\"><a:schemeClr val=\"phClr\"><a:tint val=\"37000\"/>"
    "<a:satMod val=\"300000\"/></a:schemeClr></a:gs><a:gs pos=\"100000\">"
    "<a:schemeClr val=\"phClr\"><a:tint val=\"15000\"/><a:satMod val=\"350000\"/></a:schemeClr>"
    "</a:gs></a:gsLst><a:lin ang=\"16200000\" scaled=\"1\"/></a:gradFill>"
    "<a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\"><a:schemeClr val=\"phClr\">"
    "<a:shade val=\"51000\"/><a:satMod val=\"130000\"/></a:schemeClr></a:gs><a:gs pos=\"80000\">"
    "<a:schemeClr val=\"phClr\"><a:shade val=\"93000\"/><a:satMod val=\"130000\"/></a:schemeClr>"
    "</a:gs><a:gs pos=\"100000\"><a:schemeClr val=\"phClr\"><a:shade val=\"94000\"/>"
    "<a:satMod val=\"135000\"/></a:schemeClr></a:gs></a:gsLst>"
    "<a:lin ang=\"16200000\" scaled=\"0\"/></a:gradFill></a:fillStyleLst><a:lnStyleLst>"
    "<a:ln w=\"9525\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\"><a:solidFill>"
    "<a:schemeClr val=\"phClr\"><a:shade val=\"95000\"/><a:satMod val=\"105000\"/></a:schemeClr>"
    "</a:solidFill><a:prstDash val=\"solid\"/></a:ln>"
    "<a:ln w=\"25400\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\"><a:solidFill>"
    "<a:schemeClr val=\"phClr\"/></a:solidFill><a:prstDash val=\"solid\"/></a:ln>"
    "<a:ln w=\"38100\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\"><a:solidFill>"
    "<a:schemeClr val=\"phClr\"/></a:solidFill><a:prstDash val=\"solid\"/></a:ln>"
    "</a:lnStyleLst><a:effectStyleLst><a:effectStyle><a:effectLst>"
    "<a:outerShdw blurRad=\"40000\" dist=\"20000\" dir=\"5400000\" rotWithShape=\"0\">"
    "<a:srgbClr val=\"000000\"><a:alpha val=\"38000\"/></a:srgbClr></a:outerShdw>"
    "</a:effectLst></a:effectStyle><a:effectStyle><a:effectLst>"
    "<a:outerShdw blurRad=\"40000\" dist=\"23000\" dir=\"5400000\" rotWithShape=\"0\">"
    "<a:srgbClr val=\"000000\"><a:alpha val=\"35000\"/></a:srgbClr></a:outerShdw>"
    "</a:effectLst></a:effectStyle><a:effectStyle><a:effectLst>"
    "<a:outerShdw blurRad=\"40000\" dist=\"23000\" dir=\"5400000\" rotWithShape=\"0\">"
    "<a:srgbClr val=\"000000\"><a:alpha val=\"35000\"/></a:srgbClr></a:outerShdw>"
    "</a:effectLst><a:scene3d><a:camera prst=\"orthographicFront\">"
    "<a:rot lat=\"0\" lon=\"0\" rev=\"0\"/></a:camera><a:lightRig rig=\"threePt\" dir=\"t\">"
    "<a:rot lat=\"0\" lon=\"0\" rev=\"1200000\"/></a:lightRig></a:scene3d><a:sp3d>"
    "<a:bevelT w=\"63500\" h=\"25400\"/></a:sp3d></a:effectStyle></a:effectStyleLst>"
    "<a:bgFillStyleLst><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>"
    "<a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\"><a:schemeClr val=\"phClr\">"
    "<a:tint val=\"40000\"/><a:satMod val=\"350000\"/></a:schemeClr></a:gs><a:gs pos=\"40000\">"
    "<a:schemeClr val=\"phClr\"><a:tint val=\"45000\"/><a:shade val=\"99000\"/>"
    "<a:satMod val=\"350000\"/></a:schemeClr></a:gs><a:gs pos=\"100000\">"
    "<a:schemeClr val=\"phClr\"><a:shade val=\"20000\"/><a:satMod val=\"255000\"/></a:schemeClr>"
    "</a:gs></a:gsLst><a:path path=\"circle\">"
    "<a:fillToRect l=\"50000\" t=\"-80000\" r=\"50000\" b=\"180000\"/></a:path></a:gradFill>"
    "<a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\"><a:schemeClr val=\"phClr\">"
    "<a:tint val=\"80000\"/><a:satMod val=\"300000\"/></a:schemeClr></a:gs><a:gs pos=\"100000\">"
    "<a:schemeClr val=\"phClr\"><a:shade val=\"30000\"/><a:satMod val=\"200000\"/></a:schemeClr>"
    "</a:gs></a:gsLst><a:path path=\"circle\">"
    "<a:fillToRect l=\"50000\" t=\"50000\" r=\"50000\" b=\"50000\"/></a:path></a:gradFill>"
    "</a:bgFillStyleLst></a:fmtScheme></a:themeElements><a:objectDefaults/>"
    "<a:extraClrSchemeLst/></a:theme>\n";

constexpr const char* kStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet"
    " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><fonts count=\"1\">"
    "<font><sz val=\"11\"/><color theme=\"1\"/><name val=\"Calibri\"/><family val=\"2\"/>"
    "<scheme val=\"minor\"/></font></fonts><fills count=\"2\"><fill>"
    "<patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/>"
    "</fill></fills><borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/>"
    "</border></borders><cellStyleXfs count=\"1\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
    "</cellStyles><dxfs count=\"0\"/>"
    "<tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\""
    " defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";

// The workbook around its one sheet element.
constexpr const char* kWorkbookHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook"
    " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<fileVersion appName=\"xl\" lastEdited=\"4\" lowestEdited=\"4\" rupBuild=\"4505\"/>"
    "<workbookPr defaultThemeVersion=\"124226\"/><bookViews>"
    "<workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" windowHeight=\"9660\"/>"
    "</bookViews><sheets>";
constexpr const char* kWorkbookTail =
    "</sheets><calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";

constexpr const char* kAppHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Properties"
    " xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\""
    " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
    "<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity>"
    "<ScaleCrop>false</ScaleCrop><HeadingPairs><vt:vector size=\"2\" baseType=\"variant\">"
    "<vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>1</vt:i4>"
    "</vt:variant></vt:vector></HeadingPairs><TitlesOfParts>"
    "<vt:vector size=\"1\" baseType=\"lpstr\"><vt:lpstr>";
constexpr const char* kAppTail =
    "</vt:lpstr></vt:vector></TitlesOfParts><Company></Company>"
    "<LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
    "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>12.0000</AppVersion>"
    "</Properties>";

constexpr const char* kCoreHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<cp:coreProperties"
    " xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " xmlns:dcterms=\"http://purl.org/dc/terms/\""
    " xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:creator></dc:creator>"
    "<cp:lastModifiedBy></cp:lastModifiedBy>";
constexpr const char* kCoreTail = "</cp:coreProperties>";

// clang-format on
// `text` in an XML attribute value: & < > " as entities.
QByteArray EscapedAttribute(const QString& text) {
    return EscapedData(text).replace("\"", "&quot;");
}

} // namespace

QByteArray EscapedData(const QString& text) {
    return text.toUtf8().replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
}

QByteArray ContentTypes() {
    return kContentTypes;
}

QByteArray RootRelationships() {
    return kRootRelationships;
}

QByteArray WorkbookRelationships() {
    return kWorkbookRelationships;
}

QByteArray Workbook(const QString& sheetName) {
    return kWorkbookHead + ("<sheet name=\"" + EscapedAttribute(sheetName)) +
           "\" sheetId=\"1\" r:id=\"rId1\"/>" + kWorkbookTail;
}

QByteArray Theme() {
    return kTheme;
}

QByteArray Styles() {
    return kStyles;
}

QByteArray CoreProperties(const QDateTime& time) {
    const QByteArray stamp =
        time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toLatin1();
    return kCoreHead + ("<dcterms:created xsi:type=\"dcterms:W3CDTF\">" + stamp) +
           "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + stamp +
           "</dcterms:modified>" + kCoreTail;
}

QByteArray AppProperties(const QString& sheetName) {
    return kAppHead + EscapedData(sheetName) + kAppTail;
}

} // namespace exchange::xlsx
