#include "host/Keyring.h"

#include <libsecret/secret.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace host {

namespace {

const SecretSchema* Schema() {
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "org.corvane.NetworkFolder";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {"share", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[2] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &schema;
}

void WipeUtf8(std::string& text) {
    volatile char* p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        p[i] = 0;
    }
    text.clear();
}

// UTF-16 units to UTF-8; false for a unit sequence that is not UTF-16 (an unpaired surrogate).
bool ToUtf8(const std::wstring& units, std::string* out) {
    std::u16string wide(units.begin(), units.end());
    glong written = 0;
    gchar* utf8 = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(wide.data()),
                                  static_cast<glong>(wide.size()), nullptr, &written, nullptr);
    std::memset(wide.data(), 0, wide.size() * sizeof(char16_t));
    if (utf8 == nullptr) {
        return false;
    }
    out->assign(utf8, static_cast<std::size_t>(written));
    std::memset(utf8, 0, static_cast<std::size_t>(written));
    g_free(utf8);
    return true;
}

std::wstring ToUnits(const char* utf8, gsize size) {
    glong written = 0;
    gunichar2* units = g_utf8_to_utf16(utf8, static_cast<glong>(size), nullptr, &written, nullptr);
    if (units == nullptr) {
        return std::wstring();
    }
    std::wstring text(units, units + written);
    std::memset(units, 0, static_cast<std::size_t>(written) * sizeof(gunichar2));
    g_free(units);
    return text;
}

// Cancels the operation's cancellable when the deadline passes before the operation ends.
class Deadline {
public:
    explicit Deadline(int ms) : thread_([this, ms] { Watch(ms); }) {}
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
        g_object_unref(cancellable_);
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    GCancellable* Get() const { return cancellable_; }
    bool Passed() const { return g_cancellable_is_cancelled(cancellable_) != FALSE; }

private:
    void Watch(int ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; })) {
            g_cancellable_cancel(cancellable_);
        }
    }

    GCancellable* cancellable_ = g_cancellable_new();
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;  // last: it uses the members above
};

// The service of one call, on a main context of the call's own, so that nothing libsecret or
// the bus connection schedules reaches the program's event loop.
class Session {
public:
    explicit Session(int deadlineMs) : deadline_(deadlineMs) {
        context_ = g_main_context_new();
        g_main_context_push_thread_default(context_);
    }
    ~Session() {
        if (service_ != nullptr) {
            g_object_unref(service_);
        }
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    TKeyringResult Open() {
        const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        if (address == nullptr || *address == '\0') {
            return KEYRING_NO_SERVICE;
        }
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, Cancellable(), &error);
        if (bus == nullptr) {
            return Failure(error, KEYRING_NO_SERVICE);
        }
        // The process outlives a session bus that goes away.
        g_dbus_connection_set_exit_on_close(bus, FALSE);
        g_object_unref(bus);
        service_ = secret_service_open_sync(SECRET_TYPE_SERVICE, nullptr, SECRET_SERVICE_OPEN_SESSION,
                                            Cancellable(), &error);
        return service_ != nullptr ? KEYRING_OK : Failure(error, KEYRING_FAILED);
    }

    SecretService* Service() const { return service_; }
    GCancellable* Cancellable() const { return deadline_.Get(); }

    // What an error means for the caller; error is freed. A cancelled call is always the deadline's.
    TKeyringResult Failure(GError* error, TKeyringResult otherwise) const {
        TKeyringResult result = otherwise;
        if (deadline_.Passed()) {
            result = KEYRING_TIMED_OUT;
        } else if (error != nullptr && error->domain == G_DBUS_ERROR &&
                   (error->code == G_DBUS_ERROR_SERVICE_UNKNOWN ||
                    error->code == G_DBUS_ERROR_NAME_HAS_NO_OWNER ||
                    error->code == G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND)) {
            result = KEYRING_NO_SERVICE;
        } else if (error != nullptr && error->domain == SECRET_ERROR &&
                   error->code == SECRET_ERROR_IS_LOCKED) {
            result = KEYRING_LOCKED;
        }
        if (error != nullptr) {
            g_error_free(error);
        }
        return result;
    }

private:
    Deadline deadline_;
    GMainContext* context_ = nullptr;
    SecretService* service_ = nullptr;
};

// The key as the schema's attributes, or null when a part is not UTF-16.
GHashTable* Attributes(const KeyringKey& key) {
    GHashTable* attributes = g_hash_table_new_full(g_str_hash, g_str_equal, nullptr, g_free);
    const std::pair<const char*, const std::wstring*> parts[] = {
        {"server", &key.server}, {"share", &key.share}, {"user", &key.user}};
    for (const auto& [name, value] : parts) {
        std::string utf8;
        if (!ToUtf8(*value, &utf8)) {
            g_hash_table_unref(attributes);
            return nullptr;
        }
        g_hash_table_insert(attributes, const_cast<char*>(name), g_strdup(utf8.c_str()));
    }
    return attributes;
}

std::wstring AttributeOf(GHashTable* attributes, const char* name) {
    const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, name));
    return value != nullptr ? ToUnits(value, std::strlen(value)) : std::wstring();
}

// Searches the schema's items (all of them when attributes is empty) without unlocking anything.
TKeyringResult Search(Session& session, GHashTable* attributes, SecretSearchFlags flags, GList** items) {
    GError* error = nullptr;
    *items = secret_service_search_sync(session.Service(), Schema(), attributes,
                                        static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | flags),
                                        session.Cancellable(), &error);
    return error == nullptr ? KEYRING_OK : session.Failure(error, KEYRING_FAILED);
}

// The object path of the default collection when it is there and unlocked. Without one, storing would ask
// the user to make one; a locked one hides its items and would ask to be unlocked.
TKeyringResult DefaultCollection(Session& session, std::string* path) {
    GError* error = nullptr;
    SecretCollection* collection = secret_collection_for_alias_sync(
        session.Service(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, session.Cancellable(), &error);
    if (collection == nullptr) {
        return error != nullptr ? session.Failure(error, KEYRING_FAILED) : KEYRING_LOCKED;
    }
    const bool locked = secret_collection_get_locked(collection) != FALSE;
    *path = g_dbus_proxy_get_object_path(G_DBUS_PROXY(collection));
    g_object_unref(collection);
    return locked ? KEYRING_LOCKED : KEYRING_OK;
}

}  // namespace

TKeyringResult Keyring::Store(const KeyringKey& key, const std::wstring& label, const std::wstring& secret,
                              int deadlineMs) {
    Session session(deadlineMs);
    TKeyringResult result = session.Open();
    if (result != KEYRING_OK) {
        return result;
    }
    std::string path;
    result = DefaultCollection(session, &path);
    if (result != KEYRING_OK) {
        return result;
    }
    GHashTable* attributes = Attributes(key);
    std::string labelUtf8;
    std::string secretUtf8;
    if (attributes == nullptr || !ToUtf8(label, &labelUtf8) || !ToUtf8(secret, &secretUtf8)) {
        if (attributes != nullptr) {
            g_hash_table_unref(attributes);
        }
        WipeUtf8(secretUtf8);
        return KEYRING_FAILED;
    }
    SecretValue* value =
        secret_value_new(secretUtf8.data(), static_cast<gssize>(secretUtf8.size()), "text/plain");
    WipeUtf8(secretUtf8);
    GError* error = nullptr;
    const gboolean stored =
        secret_service_store_sync(session.Service(), Schema(), attributes, path.c_str(), labelUtf8.c_str(),
                                  value, session.Cancellable(), &error);
    secret_value_unref(value);
    g_hash_table_unref(attributes);
    return stored ? KEYRING_OK : session.Failure(error, KEYRING_FAILED);
}

TKeyringResult Keyring::Remove(const KeyringKey& key, int deadlineMs) {
    Session session(deadlineMs);
    TKeyringResult result = session.Open();
    if (result != KEYRING_OK) {
        return result;
    }
    // A locked collection hides its items: removing nothing would look like success.
    std::string path;
    result = DefaultCollection(session, &path);
    if (result != KEYRING_OK) {
        return result;
    }
    GHashTable* attributes = Attributes(key);
    if (attributes == nullptr) {
        return KEYRING_FAILED;
    }
    GList* items = nullptr;
    result = Search(session, attributes, SECRET_SEARCH_NONE, &items);
    g_hash_table_unref(attributes);
    for (GList* node = items; node != nullptr; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        GError* error = nullptr;
        if (result != KEYRING_OK) {
            continue;
        }
        if (secret_item_get_locked(item)) {
            result = KEYRING_LOCKED;
        } else if (!secret_item_delete_sync(item, session.Cancellable(), &error)) {
            result = session.Failure(error, KEYRING_FAILED);
        }
    }
    g_list_free_full(items, g_object_unref);
    return result;
}

TKeyringResult Keyring::LoadAll(std::vector<KeyringEntry>* entries, int deadlineMs) {
    entries->clear();
    Session session(deadlineMs);
    TKeyringResult result = session.Open();
    if (result != KEYRING_OK) {
        return result;
    }
    std::string path;
    const TKeyringResult collection = DefaultCollection(session, &path);
    if (collection != KEYRING_OK && collection != KEYRING_LOCKED) {
        return collection;
    }
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    GList* items = nullptr;
    result = Search(session, attributes, SECRET_SEARCH_LOAD_SECRETS, &items);
    g_hash_table_unref(attributes);
    for (GList* node = items; node != nullptr; node = node->next) {
        auto* item = static_cast<SecretItem*>(node->data);
        SecretValue* value = secret_item_get_locked(item) ? nullptr : secret_item_get_secret(item);
        if (value == nullptr) {
            result = result == KEYRING_OK ? KEYRING_LOCKED : result;
            continue;
        }
        GHashTable* found = secret_item_get_attributes(item);
        gsize size = 0;
        const gchar* text = secret_value_get(value, &size);
        entries->push_back(
            {{AttributeOf(found, "server"), AttributeOf(found, "share"), AttributeOf(found, "user")},
             ToUnits(text, size)});
        g_hash_table_unref(found);
        secret_value_unref(value);
    }
    g_list_free_full(items, g_object_unref);
    return result == KEYRING_OK ? collection : result;
}

}  // namespace host
