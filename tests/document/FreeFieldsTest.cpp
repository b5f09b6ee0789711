#include "document/FreeFields.h"

#include "common/AppError.h"
#include "document/DocumentState.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using document::FreeFieldModel;

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(FreeFieldLine, SplitsAtEveryCommaWithoutTrimming) {
    const auto def = document::ParseDefinitionLine(QStringLiteral("COND.MICR , Microsituation, "
                                                                  "Microsituation, 5"));
    ASSERT_TRUE(def);
    EXPECT_EQ(def->Code, QStringLiteral("COND.MICR "));
    EXPECT_EQ(def->Label, QStringLiteral(" Microsituation"));
    EXPECT_EQ(def->Number, 0); // the third part is a description
    EXPECT_EQ(document::SplitDefinitionLine("a,,b,c,d").size(), 5);
    EXPECT_FALSE(document::ParseDefinitionLine("HAB,Habitat"));
    EXPECT_FALSE(document::ParseDefinitionLine(""));
    const auto extra = document::ParseDefinitionLine("HAB,Habitat,3,kept,on");
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->Number, 3);
}

TEST(FreeFieldLine, NumberIsTheLeadingNumberRoundedHalvesToEven) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"3", 3},   {" 5", 5},        {"\t1 2", 12}, {"2.5", 2},   {"3.5", 4},      {"-2.5", -2},
        {"+7x", 7}, {"Code FIPS", 0}, {"", 0},       {"1.2.3", 1}, {" - 4 .5", -4},
    };
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(document::FreeFieldNumber(QString::fromLatin1(text)), number) << text;
    }
    EXPECT_THROW(document::FreeFieldNumber("40000"), common::AppError);
}

TEST(FreeFieldModel, TheBuiltInSetHasElevenDefinitionsExactlyAsWritten) {
    const FreeFieldModel model = document::BuiltInFreeFields();
    ASSERT_EQ(model.count(), 11);
    EXPECT_EQ(model.FreeFieldSeparator, QStringLiteral("/"));
    const QStringList lines = model.FreeFieldHeader.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("/"));
    EXPECT_EQ(lines.mid(1), document::BuiltInDefinitionLines());
    EXPECT_FALSE(model.FreeFieldHeader.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(lines[2], QString::fromUtf8("STAT.LOCA,Localité,Nom de la localité,50"));
    EXPECT_EQ(model.FreeFields[0].Code, QStringLiteral("STAT.TOPO"));
    EXPECT_EQ(model.FreeFields[4].Label, QString::fromUtf8("Taxon associé (fleur)"));
    EXPECT_EQ(model.FreeFields[8].Code, QStringLiteral("Spec.AUCT"));
    for (int i : {5, 6, 7, 9, 10}) {
        EXPECT_TRUE(model.FreeFields[i].Code.endsWith(QLatin1Char(' '))) << i;
        EXPECT_TRUE(model.FreeFields[i].Label.startsWith(QLatin1Char(' '))) << i;
    }
    EXPECT_EQ(model.FreeFields[6].Label, QString::fromUtf8(" Déterminateur"));
    for (const auto& def : model.FreeFields) {
        EXPECT_EQ(def.Number, 0);
    }
}

TEST(FreeFieldModel, ReadsAStandardHeaderInWindows1252) {
    QTemporaryDir dir;
    const QString path = document::StandardHeaderPath(dir.path());
    WriteBytes(path, QByteArray(";\r\nHAB,Habitat,3\r\nR\xE9\x63olte,R\xE9\x63olteur,2.5,x"));
    const FreeFieldModel model = document::ReadStandardHeader(path);
    ASSERT_EQ(model.count(), 2);
    EXPECT_EQ(model.FreeFieldSeparator, QStringLiteral(";"));
    EXPECT_EQ(model.FreeFieldHeader,
              QString::fromUtf8(";\r\nHAB,Habitat,3\r\nRécolte,Récolteur,2.5,x"));
    EXPECT_EQ(model.FreeFields[0].Code, QStringLiteral("HAB"));
    EXPECT_EQ(model.FreeFields[0].Label, QStringLiteral("Habitat"));
    EXPECT_EQ(model.FreeFields[0].Number, 3);
    EXPECT_EQ(model.FreeFields[1].Number, 2);
}

TEST(FreeFieldModel, LinesThatAreNoDefinitionsAreLeftOut) {
    QTemporaryDir dir;
    const QString path = document::StandardHeaderPath(dir.path());
    WriteBytes(path, "/\r\nA,a,1\r\n\r\nB,b\r\nC,c,99999\r\nD,d,4\r\n");
    const FreeFieldModel model = document::ReadStandardHeader(path);
    ASSERT_EQ(model.count(), 2);
    EXPECT_EQ(model.FreeFieldHeader, QStringLiteral("/\r\nA,a,1\r\nD,d,4"));

    WriteBytes(path, "/\r\n\r\n");
    EXPECT_EQ(document::ReadStandardHeader(path), FreeFieldModel{});
    WriteBytes(path, "");
    EXPECT_EQ(document::ReadStandardHeader(path), FreeFieldModel{});
    EXPECT_THROW(document::ReadStandardHeader(dir.filePath("none.hdr")), common::AppError);
}

TEST(FreeFieldModel, InstallsAllVariablesTogether) {
    document::ResetDocumentState();
    document::InstallFreeFields(document::BuiltInFreeFields());
    EXPECT_EQ(document::Document().FreeFieldCount, 11);
    EXPECT_EQ(document::CurrentFreeFields(), document::BuiltInFreeFields());
    EXPECT_EQ(document::FindFreeField(document::Document().FreeFields, "spec.auct"), 8);
    EXPECT_EQ(document::FindFreeField(document::Document().FreeFields, "SPEC.DET"), 6);
    EXPECT_EQ(document::FindFreeField(document::Document().FreeFields, "NONE"), -1);
    document::ClearFreeFields();
    EXPECT_EQ(document::Document().FreeFieldCount, 0);
    EXPECT_TRUE(document::Document().FreeFields.empty());
    EXPECT_TRUE(document::Document().FreeFieldHeader.isEmpty());
    document::ResetDocumentState();
}

TEST(CommentLayout, SplitsValuesAndFreeText) {
    struct Case {
        const char* comment;
        int fields;
        QStringList values;
        const char* freeText;
    };
    const std::vector<Case> cases = {
        {"a/b/c/free text", 3, {"a", "b", "c"}, "free text"},
        {"a/b/c/1/2 ind.", 3, {"a", "b", "c"}, "1/2 ind."},
        {"a/b", 3, {"a", "b", ""}, ""},
        {"just text", 3, {"", "", ""}, "just text"},
        {"  pond/120/nest on flowers ", 2, {"pond", "120"}, "nest on flowers"},
        {"//nest", 2, {"", ""}, "nest"},
        {"x/y", 0, {}, "x/y"},
        {"", 2, {"", ""}, ""},
    };
    for (const Case& c : cases) {
        const document::CommentParts parts = document::SplitComment(c.comment, "/", c.fields);
        EXPECT_EQ(parts.values, c.values) << c.comment;
        EXPECT_EQ(parts.freeText, QString::fromLatin1(c.freeText)) << c.comment;
    }
}

TEST(CommentLayout, JoinsEachValueWithItsSeparatorThenTheFreeText) {
    EXPECT_EQ(document::JoinComment({"pond", "120"}, "nest on flowers", "/"),
              QStringLiteral("pond/120/nest on flowers"));
    EXPECT_EQ(document::JoinComment({"", ""}, "nest", "/"), QStringLiteral("//nest"));
    EXPECT_EQ(document::JoinComment({"x", ""}, "t", "/"), QStringLiteral("x//t"));
    EXPECT_EQ(document::JoinComment({}, "alone", "/"), QStringLiteral("alone"));
}

} // namespace
