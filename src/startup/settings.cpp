// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"
#include "folders.h"
#include "logging.h"

#include <QSettings>

namespace {

// Version of the keys below; a later program that changes their meaning moves it on.
constexpr int kSettingsVersion = 1;

bool boolean(const QSettings& s, const char* key, bool fallback)
{
    const QVariant v = s.value(QLatin1String(key));
    if (!v.isValid())
        return fallback;
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

std::int64_t number(const QSettings& s, const char* key, std::int64_t fallback)
{
    bool ok = false;
    const qlonglong n = s.value(QLatin1String(key)).toString().trimmed().toLongLong(&ok);
    return ok ? n : fallback;
}

} // namespace

QString KeptSettingsPath()
{
    return platform::configFolder() + QStringLiteral("/tabidori.conf");
}

KeptSettings ReadKeptSettings()
{
    KeptSettings kept;
    const QSettings s(KeptSettingsPath(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        qCWarning(logPlatform) << "settings not read:" << KeptSettingsPath();
        return kept;
    }
    kept.soundOn = boolean(s, "sound", kept.soundOn);
    const std::int64_t mode = number(s, "mode", kept.mode);
    if (mode >= kModeHayauchi && mode <= kModeEkiate)
        kept.mode = std::int32_t(mode);
    kept.lastLine = s.value(QStringLiteral("lastLine")).toString();
    LearningSettings& l = kept.learning;
    const std::int64_t seconds = number(s, "learning/questionSeconds", l.questionSeconds);
    l.questionSeconds = QuestionSecondsFrom(seconds);
    l.shuffled = boolean(s, "learning/shuffled", l.shuffled);
    l.reversed = boolean(s, "learning/reversed", l.reversed);
    l.correction = boolean(s, "learning/correction", l.correction);
    l.retype = boolean(s, "learning/retype", l.retype);
    bool ok = false;
    const double retention = s.value(QStringLiteral("learning/retention")).toDouble(&ok);
    if (ok && retention >= 0.8 && retention <= 0.97)
        l.retention = retention;
    const std::int64_t goal = number(s, "learning/dailyGoal", l.dailyGoal);
    if (goal >= 1 && goal <= 1000)
        l.dailyGoal = std::int32_t(goal);
    return kept;
}

bool WriteKeptSettings(const KeptSettings& kept)
{
    QSettings s(KeptSettingsPath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("version"), kSettingsVersion);
    s.setValue(QStringLiteral("sound"), kept.soundOn);
    s.setValue(QStringLiteral("mode"), kept.mode);
    s.setValue(QStringLiteral("lastLine"), kept.lastLine);
    const LearningSettings& l = kept.learning;
    s.setValue(QStringLiteral("learning/questionSeconds"), l.questionSeconds);
    s.setValue(QStringLiteral("learning/shuffled"), l.shuffled);
    s.setValue(QStringLiteral("learning/reversed"), l.reversed);
    s.setValue(QStringLiteral("learning/correction"), l.correction);
    s.setValue(QStringLiteral("learning/retype"), l.retype);
    s.setValue(QStringLiteral("learning/retention"), l.retention);
    s.setValue(QStringLiteral("learning/dailyGoal"), l.dailyGoal);
    s.sync();
    if (s.status() == QSettings::NoError)
        return true;
    qCWarning(logPlatform) << "settings not written:" << KeptSettingsPath();
    return false;
}
