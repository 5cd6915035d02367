// The record as JSON: valid JSON, the record's own field names, every value.
#include "io/params_json.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ombrix
{
namespace
{

QJsonObject parse(const std::string& json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

TEST(ParamsJson, CarriesEveryFieldUnderItsOwnName)
{
    ImageModel m;
    m.mSetDefaults(2);
    ImageParams& p = m.params;
    p.pnImageLeft = -450;
    p.pnImageWidth = 40000;
    p.pnRainbow = 4;
    p.deriveRainbowChoices();
    p.psText[7] = "Grüße";
    p.pnTextStyle[7] = {1, 0, 1, 0, 1};
    p.pnBorderSize[3] = 9;
    p.plBorderColor[3] = {1, 2, 3};
    const QJsonObject o = parse(paramsToJson(p));

    EXPECT_EQ(o["pnImageLeft"].toInt(), -450);
    EXPECT_EQ(o["pnImageWidth"].toInt(), 40000);
    EXPECT_EQ(o["pnPattern"].toInt(), kShadedEllipse);
    EXPECT_EQ(o["pnSlantRate"].toInt(), -5);
    EXPECT_EQ(o["pnVerOrgOffset"].toInt(), -6);
    EXPECT_EQ(o["pnHump"].toInt(), 18);
    EXPECT_EQ(o["pnHorRep"].toInt(), 3);
    EXPECT_EQ(o["pnRainbow"].toInt(), 4);
    EXPECT_EQ(o["pnRainbowPalette"].toInt(), 0);
    EXPECT_EQ(o["pnRainbowInverse"].toInt(), 1);
    EXPECT_EQ(o["plColor"].toArray()[0].toArray()[1].toInt(), 176);
    const QJsonArray texts = o["texts"].toArray();
    ASSERT_EQ(texts.size(), kTextSlots);
    const QJsonObject t7 = texts[7].toObject();
    EXPECT_EQ(t7["psText"].toString(), QString::fromUtf8("Grüße"));
    EXPECT_EQ(t7["psTextFont"].toString(), "Arial");
    EXPECT_EQ(t7["pnTextSize"].toInt(), 18);
    EXPECT_EQ(t7["pnTextLeft"].toInt(), -50);
    EXPECT_EQ(t7["pnTextStyle"].toArray().size(), 5);
    EXPECT_EQ(t7["pnTextStyle"].toArray()[4].toInt(), 1);
    EXPECT_EQ(texts[8].toObject()["plTextColor"].toArray()[0].toInt(), 64); // a shadow slot
    const QJsonArray borders = o["borders"].toArray();
    ASSERT_EQ(borders.size(), kBorders);
    EXPECT_EQ(borders[3].toObject()["pnBorderSize"].toInt(), 9);
    EXPECT_EQ(borders[3].toObject()["plBorderColor"].toArray()[2].toInt(), 3);
}

TEST(ParamsJson, KeysFollowTheRecordOrder)
{
    const std::string json = paramsToJson(ImageParams{});
    const char* order[] = {"pnImageLeft",      "pnImageTop",       "pnImageWidth", "pnImageHeight",
                           "pnPattern",        "pnRotation",       "pnSlantRate",  "pnVerOrgOffset",
                           "pnHump",           "pnHorRep",         "pnVerRep",     "pnRainbow",
                           "pnRainbowPalette", "pnRainbowInverse", "plColor",      "texts",
                           "borders"};
    std::size_t last = 0;
    for (const char* key : order) {
        const std::size_t at = json.find(std::string("\"") + key + "\"");
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key;
        last = at;
    }
}

TEST(ParamsJson, EscapesTextsThatWouldBreakTheDocument)
{
    ImageParams p;
    p.psText[0] = "say \"hi\"\\\n\t\x01 end";
    const QJsonObject o = parse(paramsToJson(p));
    EXPECT_EQ(o["texts"].toArray()[0].toObject()["psText"].toString().toStdString(), p.psText[0]);
    EXPECT_EQ(jsonString("\x1f"), "\"\\u001f\"");
}

} // namespace
} // namespace ombrix
