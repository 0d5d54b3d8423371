#include "sync/secretstore.h"

#include "base/log.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

#include <qt6keychain/keychain.h>

namespace sync {

namespace {

const QString Service = QStringLiteral("Mirevo");

QString reasonOf(const QKeychain::Job* job)
{
    switch (job->error()) {
    case QKeychain::NoBackendAvailable:
        return QCoreApplication::translate("SecretStore", "there is no secret store on this desktop");
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return QCoreApplication::translate("SecretStore", "the secret store refused access");
    default:
        // Without a Secret Service on the session bus (or without a bus) the library has no
        // better word than "Unknown error".
        return QCoreApplication::translate("SecretStore", "no secret store answered (%1)").arg(job->errorString());
    }
}

template <typename Job>
Job* newJob(const QString& key)
{
    auto* job = new Job(Service);
    job->setAutoDelete(true);
    // Never a plain-text file in place of the secret store.
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

} // namespace

QString SecretStore::keyFor(const QUrl& server, const QString& user)
{
    return user + QLatin1Char('@') + server.toString(QUrl::RemoveUserInfo | QUrl::FullyEncoded);
}

void SecretStore::read(const QString& key, QObject* context, ReadDone done)
{
    auto* job = newJob<QKeychain::ReadPasswordJob>(key);
    QObject::connect(job, &QKeychain::Job::finished, context, [done](QKeychain::Job* finished) {
        auto* reader = static_cast<QKeychain::ReadPasswordJob*>(finished);
        if (reader->error() == QKeychain::NoError)
            done(true, reader->textData(), QString());
        else if (reader->error() == QKeychain::EntryNotFound)
            done(true, QString(), QString());
        else
            done(false, QString(), reasonOf(reader));
    });
    job->start();
}

void SecretStore::write(const QString& key, const QString& password, QObject* context, WriteDone done)
{
    auto* job = newJob<QKeychain::WritePasswordJob>(key);
    job->setTextData(password);
    QObject::connect(job, &QKeychain::Job::finished, context, [done](QKeychain::Job* finished) {
        done(finished->error() == QKeychain::NoError, finished->error() == QKeychain::NoError ? QString() : reasonOf(finished));
    });
    job->start();
}

void SecretStore::remove(const QString& key, QObject* context, WriteDone done)
{
    auto* job = newJob<QKeychain::DeletePasswordJob>(key);
    QObject::connect(job, &QKeychain::Job::finished, context, [done](QKeychain::Job* finished) {
        const bool ok = finished->error() == QKeychain::NoError || finished->error() == QKeychain::EntryNotFound;
        done(ok, ok ? QString() : reasonOf(finished));
    });
    job->start();
}

bool SecretStore::readNow(const QString& key, QString* password, QString* error)
{
    QEventLoop loop;
    bool result = false;
    bool finished = false;
    read(key, &loop, [&](bool ok, const QString& text, const QString& why) {
        result = ok;
        *password = text;
        *error = why;
        finished = true;
        loop.quit();
    });
    if (!finished)
        loop.exec();
    return result;
}

bool SecretStore::writeNow(const QString& key, const QString& password, QString* error)
{
    QEventLoop loop;
    bool result = false;
    bool finished = false;
    write(key, password, &loop, [&](bool ok, const QString& why) {
        result = ok;
        *error = why;
        finished = true;
        loop.quit();
    });
    if (!finished)
        loop.exec();
    return result;
}

} // namespace sync
