#include "host/SecretStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include <qt6keychain/keychain.h>

#include "site/SiteSecret.h"

namespace host {
namespace {

constexpr int kStoreTimeoutMs = 5000;

// What a job of the secret store ended with.
struct StoreAnswer {
    bool done = false;
    QKeychain::Error error = QKeychain::OtherError;
    QByteArray data;
};

// A secret store is only reachable over the desktop session's bus.
bool SessionBusAvailable() {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return bus != nullptr && *bus != '\0';
}

QString StoreKey(const std::string& site) {
    return QString::fromStdString("site/" + site);
}

// Overwrites the secret a byte array holds, in place: wherever the store's job shares the
// array's block, that copy goes too.
void Wipe(const QByteArray& bytes) {
    platform::WipeMemory(const_cast<char*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
}

// Runs a job of the secret store to its end, or until the store has been silent for a few
// seconds. The job deletes itself when it ends, also after the wait gave up on it.
StoreAnswer RunJob(QKeychain::Job* job) {
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "vireo";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    auto answer = std::make_shared<StoreAnswer>();
    const QPointer<QKeychain::Job> alive(job);
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, [answer, &loop](QKeychain::Job* ended) {
        answer->done = true;
        answer->error = ended->error();
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(ended)) {
            answer->data = read->binaryData();
        }
        loop.quit();
    });
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->start();
    QTimer::singleShot(kStoreTimeoutMs, &loop, &QEventLoop::quit);
    if (!answer->done) {
        loop.exec();
    }
    // A late answer must not reach the loop that is gone.
    if (alive) {
        QObject::disconnect(job, &QKeychain::Job::finished, nullptr, nullptr);
    }
    return *answer;
}

}  // namespace

std::string SaveSiteSecret(const std::string& site, const lon::Bytes& secret, std::string& where) {
    if (SessionBusAvailable()) {
        auto* job = new QKeychain::WritePasswordJob(QStringLiteral("vireo"));
        job->setKey(StoreKey(site));
        const QByteArray bytes(reinterpret_cast<const char*>(secret.data()),
                               static_cast<qsizetype>(secret.size()));
        job->setBinaryData(bytes);
        const StoreAnswer answer = RunJob(job);
        Wipe(bytes);
        if (answer.done && answer.error == QKeychain::NoError) {
            where = "the desktop's secret store";
            return "";
        }
    }
    where = SecretFilePath(site);
    return SaveSecretFile(site, secret);
}

std::string LoadSiteSecret(const std::string& site, platform::SecretBytes& secret) {
    if (SessionBusAvailable()) {
        auto* job = new QKeychain::ReadPasswordJob(QStringLiteral("vireo"));
        job->setKey(StoreKey(site));
        const StoreAnswer answer = RunJob(job);
        const bool kept = answer.done && answer.error == QKeychain::NoError;
        if (kept) {
            secret.Assign({reinterpret_cast<const std::uint8_t*>(answer.data.constData()),
                           static_cast<std::size_t>(answer.data.size())});
        }
        Wipe(answer.data);
        if (kept) {
            return "";
        }
    }
    return LoadSecretFile(site, secret);
}

namespace {

bool NeedsSecret(const Site& site) {
    return std::any_of(site.links.begin(), site.links.end(),
                       [](const SiteLink& link) { return link.authenticated; });
}

}  // namespace

std::optional<std::string> LoadSiteWithSecret(const std::string& name, Site& site,
                                              platform::SecretBytes& secret) {
    if (std::string problem = LoadNamedSite(name, site); !problem.empty()) {
        return problem;
    }
    if (NeedsSecret(site)) {
        if (std::string problem = LoadSiteSecret(name, secret); !problem.empty()) {
            return problem;
        }
    }
    return std::nullopt;
}

std::optional<std::string> SiteNodeSettings(const std::string& siteName, const std::string& node,
                                            LinkSettings& settings, int* channel) {
    Site site;
    platform::SecretBytes secret;
    if (auto problem = LoadSiteWithSecret(siteName, site, secret)) {
        return problem;
    }
    const SiteNode* entry = FindSiteNode(site, node);
    if (entry == nullptr) {
        return MissingSiteNode(site, node);
    }
    if (channel != nullptr) {
        *channel = entry->channel;
    }
    return NodeSettings(site, *entry, secret, settings);
}

}  // namespace host
