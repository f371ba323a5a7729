#include "store/SavedPasswords_p.h"

#include "db/ConnectionString.h"
#include "db/ConnectionUri.h"
#include "store/SecretStore.h"

#include <QRegularExpression>
#include <QUuid>
#include <optional>
#include <vector>

namespace store {
namespace {

const QLatin1String kPrefix("keyring:");

struct Replacement {
    qsizetype begin, end;
    QString text;
};

QString applied(QString text, const std::vector<Replacement>& replacements) {
    for (auto it = replacements.rbegin(); it != replacements.rend(); ++it)
        text.replace(it->begin, it->end - it->begin, it->text);
    return text;
}

// The pieces holding a password (or a reference), in order.
std::vector<db::ConnectionStringPiece> passwordPieces(const QString& connectionString) {
    std::vector<db::ConnectionStringPiece> out;
    for (db::ConnectionStringPiece& p : db::scanConnectionString(connectionString))
        if (p.hasValue && db::isPasswordKey(p.key) && !p.value.isEmpty()) out.push_back(std::move(p));
    return out;
}

QString idOf(const QString& reference) {
    return reference.mid(kPrefix.size());
}

Failure unreadable(const QString& why) {
    return fail(
        QStringLiteral("The connection's password is kept in the desktop keyring and could not be read. %1 "
                       "Type the password into the connection string and save it again.")
            .arg(why));
}

} // namespace

bool isPasswordReference(const QString& value) {
    static const QRegularExpression form(
        QStringLiteral("^keyring:[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    return form.match(value).hasMatch();
}

QString passwordReferenceText(const QString& id) {
    return QLatin1Char('{') + kPrefix + id + QLatin1Char('}');
}

QStringList passwordReferenceIds(const QString& connectionString) {
    QStringList ids;
    for (const auto& p : passwordPieces(connectionString))
        if (isPasswordReference(p.value)) ids << idOf(p.value);
    return ids;
}

Result<QString> resolvePasswords(const QString& connectionString, SecretStore& store) {
    std::vector<Replacement> replacements;
    for (const auto& p : passwordPieces(connectionString)) {
        if (!isPasswordReference(p.value)) continue;
        const Result<QString> secret = store.read(idOf(p.value));
        if (!secret) return unreadable(secret.error());
        replacements.push_back({p.valueBegin, p.valueEnd, db::quoteValue(*secret)});
    }
    return applied(connectionString, replacements);
}

Result<SealedPasswords> sealPasswords(const QString& given, const QStringList& ownIds, SecretStore& store) {
    // A URI is stored in its key=value form: its password then has a key of
    // its own, which a reference can take the place of.
    const QString connectionString = db::isConnectionUri(given) ? db::ConnectionString(given).toString() : given;
    SealedPasswords out;
    std::vector<Replacement> replacements;
    std::optional<bool> available; // asked once, and only when a password is to be stored
    for (const auto& p : passwordPieces(connectionString)) {
        QString password = p.value;
        bool fromReference = false;
        if (isPasswordReference(p.value)) {
            if (ownIds.contains(idOf(p.value))) continue;
            const Result<QString> secret = store.read(idOf(p.value));
            if (!secret) {
                forgetPasswords(out.written, store);
                return unreadable(secret.error());
            }
            password = *secret;
            fromReference = true;
        }
        if (!available) available = store.isAvailable();
        if (*available) {
            const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            const Status stored = store.write(id, password);
            if (stored) {
                out.written << id;
                replacements.push_back({p.valueBegin, p.valueEnd, passwordReferenceText(id)});
                continue;
            }
            out.notice =
                QStringLiteral("The desktop keyring did not take the password (%1); it is kept in vsql.db.")
                    .arg(stored.error());
        }
        // The password stays in the string, as vsql.db always kept them.
        if (fromReference) replacements.push_back({p.valueBegin, p.valueEnd, db::quoteValue(password)});
    }
    out.connectionString = applied(connectionString, replacements);
    return out;
}

QString forgetPasswords(const QStringList& ids, SecretStore& store) {
    QString notice;
    for (const QString& id : ids)
        if (const Status removed = store.remove(id); !removed)
            notice = QStringLiteral("An old password could not be removed from the desktop keyring: %1")
                         .arg(removed.error());
    return notice;
}

} // namespace store
