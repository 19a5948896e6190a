#include "QtSoundPlayer.h"

#include "SoundCueWorker.h"

namespace zumzik {

QtSoundPlayer::QtSoundPlayer(QStringList pluginDirectories)
    : m_pluginDirectories(std::move(pluginDirectories)) {
    m_thread.setObjectName(QStringLiteral("sound cues"));
}

QtSoundPlayer::~QtSoundPlayer() {
    m_thread.quit();
    m_thread.wait();
}

void QtSoundPlayer::play(const QString& fileName) {
    if (!m_worker) {
        m_worker = new SoundCueWorker(m_pluginDirectories);
        m_worker->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        m_thread.start();
    }
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, fileName] { worker->play(fileName); }, Qt::QueuedConnection);
}

} // namespace zumzik
