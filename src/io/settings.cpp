// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/settings.h"

#include <QFile>
#include <QSettings>

#include <algorithm>

namespace ombrix
{

std::array<Integer, 5> parseShowTips(const std::string& text)
{
    std::array<Integer, 5> tips{};
    for (size_t i = 0; i < tips.size(); ++i)
        tips[i] = (i < text.size() && text[i] >= '0' && text[i] <= '9')
                      ? static_cast<Integer>(text[i] - '0')
                      : Integer{0};
    return tips;
}

std::string formatShowTips(const std::array<Integer, 5>& tips)
{
    std::string s;
    for (Integer t : tips)
        s += std::to_string(t);
    return s;
}

Long parseQuality(const std::string& text)
{
    bool ok = false;
    const long long v = QString::fromStdString(text).trimmed().toLongLong(&ok);
    if (!ok)
        return 100;
    return static_cast<Long>(std::clamp<long long>(v, 10, 100));
}

Settings mGetSettings(QSettings& store)
{
    Settings s;
    store.beginGroup("Settings");
    // The folders are paths like any other: the system's file-name bytes.
    s.psReadPath = QFile::encodeName(store.value("ReadPath", QString()).toString()).toStdString();
    s.psSavePath = QFile::encodeName(store.value("SavePath", QString()).toString()).toStdString();
    s.pnShowTip = parseShowTips(store.value("ShowTips", "11111").toString().toStdString());
    s.plQualityValue = parseQuality(store.value("Quality", "100").toString().toStdString());
    store.endGroup();
    return s;
}

void mSaveSettings(QSettings& store, const Settings& s)
{
    store.beginGroup("Settings");
    store.setValue("ReadPath", QFile::decodeName(QByteArray::fromStdString(s.psReadPath)));
    store.setValue("SavePath", QFile::decodeName(QByteArray::fromStdString(s.psSavePath)));
    store.setValue("ShowTips", QString::fromStdString(formatShowTips(s.pnShowTip)));
    store.setValue("Quality", QString::number(s.plQualityValue));
    store.endGroup();
    store.sync();
}

} // namespace ombrix
