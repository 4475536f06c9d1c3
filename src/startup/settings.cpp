// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"
#include "folders.h"
#include "logging.h"
#include "settingsschema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QUuid>

#include <optional>

namespace {

// Each kind of setting read and written the one way, by its description in settingsschema.h:
// what is missing, malformed or refused reads as the setting's default.

QString keyOf(std::string_view key)
{
    return QLatin1String(key.data(), qsizetype(key.size()));
}

// A whole number as written, blanks around it allowed; nothing when it is none.
std::optional<std::int64_t> wholeNumber(const QSettings& s, std::string_view key)
{
    bool ok = false;
    const qlonglong n = s.value(keyOf(key)).toString().trimmed().toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(n) : std::nullopt;
}

bool read(const QSettings& s, const setting::Switch& setting)
{
    const QVariant v = s.value(keyOf(setting.key));
    if (!v.isValid())
        return setting.fallback;
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return setting.fallback;
}

std::int32_t read(const QSettings& s, const setting::Whole& setting)
{
    const std::optional<std::int64_t> n = wholeNumber(s, setting.key);
    return n && setting.accepts(*n) ? std::int32_t(*n) : setting.fallback;
}

double read(const QSettings& s, const setting::Real& setting)
{
    bool ok = false;
    const double value = s.value(keyOf(setting.key)).toDouble(&ok);
    return ok && setting.accepts(value) ? value : setting.fallback;
}

template<std::size_t N> std::int32_t read(const QSettings& s, const setting::Choice<N>& setting)
{
    return setting.nearest(wholeNumber(s, setting.key).value_or(setting.fallback));
}

QString read(const QSettings& s, const setting::Text& setting)
{
    return s.value(keyOf(setting.key)).toString();
}

// Each in the type it has always been written with: a switch as true or false.
void write(QSettings& s, const setting::Switch& setting, bool value)
{
    s.setValue(keyOf(setting.key), value);
}

void write(QSettings& s, const setting::Whole& setting, std::int32_t value)
{
    s.setValue(keyOf(setting.key), value);
}

void write(QSettings& s, const setting::Real& setting, double value)
{
    s.setValue(keyOf(setting.key), value);
}

template<std::size_t N>
void write(QSettings& s, const setting::Choice<N>& setting, std::int32_t value)
{
    s.setValue(keyOf(setting.key), value);
}

void write(QSettings& s, const setting::Text& setting, const QString& value)
{
    s.setValue(keyOf(setting.key), value);
}

} // namespace

QString KeptSettingsPath()
{
    return platform::configFolder() + QStringLiteral("/tabidori.conf");
}

namespace {

KeptSettings readFile();

} // namespace

KeptSettings ReadKeptSettings()
{
    KeptSettings kept = readFile();
    // The id names a folder inside the shared one: only letters, digits and hyphens pass.
    static const QRegularExpression kId(QStringLiteral("^[0-9A-Za-z-]{8,64}$"));
    if (!kId.match(kept.installation).hasMatch())
        kept.installation = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!QDir::isAbsolutePath(kept.sharedFolder))
        kept.sharedFolder.clear();
    return kept;
}

namespace {

KeptSettings readFile()
{
    KeptSettings kept;
    // The real file is a few hundred bytes. One far larger is not ours to parse at every start
    // and rewrite at every change (50 MB took seconds each time): it is kept aside, never lost,
    // and the program starts with its defaults.
    const QFileInfo file(KeptSettingsPath());
    if (file.size() > kKeptSettingsMaxBytes) {
        const QString aside = file.filePath() + QStringLiteral(".too-large-")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        qCWarning(logPlatform) << "settings of" << file.size() << "bytes kept aside as" << aside;
        QFile::rename(file.filePath(), aside);
        return kept;
    }
    const QSettings s(KeptSettingsPath(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        qCWarning(logPlatform) << "settings not read:" << KeptSettingsPath();
        return kept;
    }
    kept.soundOn = read(s, setting::kSound);
    kept.mode = read(s, setting::kMode);
    kept.lastLine = read(s, setting::kLastLine);
    LearningSettings& l = kept.learning;
    l.questionSeconds = read(s, setting::kQuestionSeconds);
    l.shuffled = read(s, setting::kShuffled);
    l.reversed = read(s, setting::kReversed);
    l.correction = read(s, setting::kCorrection);
    l.retype = read(s, setting::kRetype);
    l.speech = read(s, setting::kSpeech);
    l.retention = read(s, setting::kRetention);
    l.dailyGoal = read(s, setting::kDailyGoal);
    l.newPerDay = read(s, setting::kNewPerDay);
    l.reviewLimit = read(s, setting::kReviewLimit);
    kept.installation = read(s, setting::kInstallation);
    kept.sharedFolder = read(s, setting::kSharedFolder);
    return kept;
}

} // namespace

bool WriteKeptSettings(const KeptSettings& kept)
{
    QSettings s(KeptSettingsPath(), QSettings::IniFormat);
    s.setValue(keyOf(setting::kVersionKey), setting::kVersion);
    write(s, setting::kSound, kept.soundOn);
    write(s, setting::kMode, kept.mode);
    write(s, setting::kLastLine, kept.lastLine);
    const LearningSettings& l = kept.learning;
    write(s, setting::kQuestionSeconds, l.questionSeconds);
    write(s, setting::kShuffled, l.shuffled);
    write(s, setting::kReversed, l.reversed);
    write(s, setting::kCorrection, l.correction);
    write(s, setting::kRetype, l.retype);
    write(s, setting::kSpeech, l.speech);
    write(s, setting::kRetention, l.retention);
    write(s, setting::kDailyGoal, l.dailyGoal);
    write(s, setting::kNewPerDay, l.newPerDay);
    write(s, setting::kReviewLimit, l.reviewLimit);
    write(s, setting::kInstallation, kept.installation);
    write(s, setting::kSharedFolder, kept.sharedFolder);
    s.sync();
    if (s.status() == QSettings::NoError)
        return true;
    qCWarning(logPlatform) << "settings not written:" << KeptSettingsPath();
    return false;
}
