// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "speaker.h"
#include "host.h"
#include "mixer.h"
#include "sound.h"
#include "speechlog.h"
#include "speechtext.h"
#include "wavfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

Q_LOGGING_CATEGORY(logSpeech, "tabidori.speech", QtCriticalMsg)

namespace speech {

namespace {

const char* const kDictionary = "/var/lib/mecab/dic/open-jtalk/naist-jdic";
const char* const kVoiceFile = "voice/tohoku-f01-neutral.htsvoice";
// A reading of a few seconds takes a tenth of that; one that hangs is given up.
constexpr int kProcessLimitMs = 10000;
// Making readings ahead must not take the CPU from the game, nor from the player's other work.
constexpr int kNiceness = 10;

} // namespace

VoiceSetup DefaultSetup()
{
    VoiceSetup s;
    s.program = QStandardPaths::findExecutable(QStringLiteral("open_jtalk"));
    s.dictionary = QString::fromLatin1(kDictionary);
    s.voice = platform::host().programFolder() + u'/' + QString::fromLatin1(kVoiceFile);
    s.cacheFolder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tabidori/voice");
    return s;
}

QString Unavailable(const VoiceSetup& setup)
{
    if (setup.program.isEmpty() || !QFileInfo(setup.program).isExecutable()
        || !QFileInfo::exists(setup.dictionary + QStringLiteral("/sys.dic")))
        return QStringLiteral("読み上げには open-jtalk が必要です");
    if (!QFileInfo(setup.voice).isFile())
        return QStringLiteral("読み上げの声のファイル (%1) がありません")
            .arg(QFileInfo(setup.voice).fileName());
    return {};
}

Speaker::Speaker(VoiceSetup setup, QObject* parent)
    : QObject(parent)
    , setup_(std::move(setup))
    , unavailable_(Unavailable(setup_))
    , cache_(setup_.cacheFolder, setup_.cacheLimit)
{
    const QFileInfo voice(setup_.voice);
    voiceId_ = voice.fileName() + u'/' + QString::number(voice.size()) + u'/'
        + kSynthesisOptions.join(u' ');
}

Speaker::~Speaker()
{
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
    }
}

QString Speaker::keyOf(const Reading& r) const
{
    return CacheKey(r.name, r.reading, voiceId_);
}

QString Speaker::pathOf(const Reading& r) const
{
    return cache_.pathOf(keyOf(r));
}

bool Speaker::working() const
{
    return running_.has_value() || !queue_.isEmpty();
}

void Speaker::prepare(const QList<Reading>& readings)
{
    if (!unavailable_.isEmpty())
        return;
    queue_.clear();
    // A reading asked for and not made yet stays first.
    if (wanted_ && !(running_ && running_->reading == *wanted_))
        queue_ << *wanted_;
    for (const Reading& r : readings) {
        if (!r.reading.isEmpty() && !queue_.contains(r))
            queue_ << r;
    }
    startNext();
}

void Speaker::say(const Reading& r)
{
    if (!unavailable_.isEmpty() || gSoundOn == 0 || r.reading.isEmpty())
        return;
    const QString key = keyOf(r);
    if (cache_.has(key)) {
        wanted_.reset();
        play(key);
        return;
    }
    // Made next, before the rest of the line, and spoken then.
    wanted_ = r;
    queue_.removeAll(r);
    if (running_ && running_->reading == r)
        return;
    queue_.prepend(r);
    if (running_) {
        // A reading made ahead gives way (it is made again after this one): waiting for it
        // would double the delay of the one the player is waiting for.
        queue_.insert(1, running_->reading);
        interrupting_ = true;
        process_->kill();
        return; // its end starts the next
    }
    startNext();
}

void Speaker::play(const QString& key)
{
    const QString path = cache_.pathOf(key);
    const audio::Status status = audio::mixer().speak(path);
    if (!status.ok) {
        qCInfo(logSpeech).noquote() << "not spoken:" << path << status.description;
        return;
    }
    cache_.touch(key);
    emit spoken(path);
}

void Speaker::startNext()
{
    while (!running_ && !queue_.isEmpty()) {
        const Reading next = queue_.takeFirst();
        if (cache_.has(keyOf(next))) {
            if (wanted_ == next) {
                wanted_.reset();
                play(keyOf(next));
            }
            continue;
        }
        run({next, Stage::Name});
    }
}

void Speaker::run(const Job& job)
{
    if (!work_) {
        work_ = std::make_unique<QTemporaryDir>();
        if (!work_->isValid()) {
            qCWarning(logSpeech) << "no folder to make readings in; speech skipped";
            work_.reset();
            return;
        }
    }
    if (!process_) {
        process_ = new QProcess(this);
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_->setStandardOutputFile(QProcess::nullDevice());
        process_->setChildProcessModifier([] {
            // Only the priority: the child is about to become open_jtalk.
            [[maybe_unused]] const int ignored = nice(kNiceness);
        });
        connect(process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus st) {
            finished(st == QProcess::NormalExit && code == 0);
        });
        connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                finished(false);
        });
    }
    running_ = job;
    const QString text = job.stage == Stage::Name ? job.reading.name : job.reading.reading;
    QFile::remove(work_->filePath(QStringLiteral("r.wav")));
    QFile::remove(work_->filePath(QStringLiteral("r.trace")));
    process_->start(setup_.program,
                    QStringList {QStringLiteral("-x"), setup_.dictionary, QStringLiteral("-m"),
                                 setup_.voice, QStringLiteral("-ow"),
                                 work_->filePath(QStringLiteral("r.wav")), QStringLiteral("-ot"),
                                 work_->filePath(QStringLiteral("r.trace"))}
                        + kSynthesisOptions);
    process_->write(text.toUtf8() + '\n');
    process_->closeWriteChannel();
    QTimer::singleShot(kProcessLimitMs, process_, [this, p = process_, job] {
        if (p->state() != QProcess::NotRunning && running_ && running_->reading == job.reading)
            p->kill();
    });
}

void Speaker::finished(bool ok)
{
    if (interrupting_) {
        interrupting_ = false;
        running_.reset();
        startNext();
        return;
    }
    if (!running_)
        return;
    const Job job = *running_;
    running_.reset();
    QByteArray wav;
    QString trace;
    if (ok) {
        QFile w(work_->filePath(QStringLiteral("r.wav")));
        QFile t(work_->filePath(QStringLiteral("r.trace")));
        if (w.open(QIODevice::ReadOnly))
            wav = w.readAll();
        if (t.open(QIODevice::ReadOnly))
            trace = QString::fromUtf8(t.readAll());
    }
    if ((!ok || !WholeWav(wav)) && job.stage == Stage::Name) {
        run({job.reading, Stage::Kana}); // the kana may read where the name did not
        return;
    }
    if (!ok || !WholeWav(wav)) {
        qCWarning(logSpeech).noquote()
            << "open_jtalk failed on" << job.reading.name << process_->errorString();
        if (wanted_ == job.reading)
            wanted_.reset();
        startNext();
        return;
    }
    if (job.stage == Stage::Name && ChooseSource(job.reading.reading, trace) == Source::Reading) {
        run({job.reading, Stage::Kana});
        return;
    }
    if (job.stage == Stage::Kana && !PhonemesSpell(TracePhonemes(trace), job.reading.reading))
        qCInfo(logSpeech).noquote() << "the voice may not sound" << job.reading.reading << "as"
                                    << "spelt:" << TracePhonemes(trace);
    const QString key = keyOf(job.reading);
    if (cache_.keep(key, TrimSilence(wav))) {
        cache_.trim();
        emit made(cache_.pathOf(key), job.stage == Stage::Name, TracePhonemes(trace));
        if (wanted_ == job.reading) {
            wanted_.reset();
            play(key);
        }
    } else if (wanted_ == job.reading) {
        wanted_.reset();
    }
    startNext();
}

} // namespace speech
