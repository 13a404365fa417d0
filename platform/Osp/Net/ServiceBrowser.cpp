#include "Osp/Net/ServiceBrowser.h"

#include <arpa/inet.h>
#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>

#include "host/EventLoop.h"
#include "host/QtString.h"

namespace Osp::Net {

using Osp::Base::E_FAILURE;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

namespace {

// What the user-interface thread shares with the posted answers: they check it before they reach a
// listener that may have been stopped meanwhile.
struct Delivery {
    IServiceBrowserListener* listener = nullptr;
    bool stopped = false;  // user-interface thread only
};

std::wstring FromUtf8(const char* text) {
    return text == nullptr ? std::wstring() : host::FromQString(QString::fromUtf8(text));
}

}  // namespace

// The poll thread's members (resolving, allForNow, finished) are touched only inside the daemon
// client's callbacks, which run on that thread.
struct ServiceBrowser::Impl {
    std::shared_ptr<Delivery> delivery = std::make_shared<Delivery>();
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    int resolving = 0;
    int resolversMade = 0;
    bool allForNow = false;
    bool finished = false;

    void PostFound(ServiceInfo info) {
        std::shared_ptr<Delivery> d = delivery;
        QMetaObject::invokeMethod(
            &host::UserEventReceiver::Instance(),
            [d, info] {
                if (!d->stopped) {
                    d->listener->OnServiceFound(info);
                }
            },
            Qt::QueuedConnection);
    }

    void PostFinished(result r) {
        if (finished) {
            return;
        }
        finished = true;
        std::shared_ptr<Delivery> d = delivery;
        QMetaObject::invokeMethod(
            &host::UserEventReceiver::Instance(),
            [d, r] {
                if (!d->stopped) {
                    d->stopped = true;
                    d->listener->OnServiceBrowseFinished(r);
                }
            },
            Qt::QueuedConnection);
    }

    void FinishWhenDone() {
        if (allForNow && resolving == 0) {
            PostFinished(E_SUCCESS);
        }
    }

    static void OnClient(AvahiClient*, AvahiClientState state, void* data) {
        auto* impl = static_cast<Impl*>(data);
        if (state == AVAHI_CLIENT_FAILURE && impl->poll != nullptr) {
            impl->PostFinished(E_SERVICE_UNAVAILABLE);
        }
    }

    static void OnResolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol,
                           AvahiResolverEvent event, const char* name, const char*, const char*,
                           const char* hostName, const AvahiAddress* address, uint16_t port, AvahiStringList*,
                           AvahiLookupResultFlags, void* data) {
        auto* impl = static_cast<Impl*>(data);
        if (event == AVAHI_RESOLVER_FOUND && address != nullptr && address->proto == AVAHI_PROTO_INET) {
            ServiceInfo info;
            info.name = FromUtf8(name);
            info.hostName = FromUtf8(hostName);
            info.address = Ip4Address(ntohl(address->data.ipv4.address));
            info.port = port;
            impl->PostFound(std::move(info));
        }
        avahi_service_resolver_free(resolver);
        --impl->resolving;
        impl->FinishWhenDone();
    }

    static void OnBrowse(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol,
                         AvahiBrowserEvent event, const char* name, const char* type, const char* domain,
                         AvahiLookupResultFlags, void* data) {
        auto* impl = static_cast<Impl*>(data);
        switch (event) {
            case AVAHI_BROWSER_NEW:
                if (impl->resolversMade < kMaxServices &&
                    avahi_service_resolver_new(impl->client, interface, protocol, name, type, domain,
                                               AVAHI_PROTO_INET, static_cast<AvahiLookupFlags>(0), OnResolved,
                                               impl) != nullptr) {
                    ++impl->resolversMade;
                    ++impl->resolving;
                }
                break;
            case AVAHI_BROWSER_ALL_FOR_NOW:
                impl->allForNow = true;
                impl->FinishWhenDone();
                break;
            case AVAHI_BROWSER_FAILURE:
                impl->PostFinished(E_FAILURE);
                break;
            default:
                break;
        }
    }

    void Release() {
        if (poll != nullptr) {
            avahi_threaded_poll_stop(poll);
        }
        if (client != nullptr) {
            avahi_client_free(client);  // with the browser and the resolvers
            client = nullptr;
        }
        if (poll != nullptr) {
            avahi_threaded_poll_free(poll);
            poll = nullptr;
        }
    }
};

ServiceBrowser::ServiceBrowser() = default;

ServiceBrowser::~ServiceBrowser() {
    Stop();
}

result ServiceBrowser::Start(const std::wstring& type, IServiceBrowserListener& listener) {
    if (impl_ != nullptr) {
        return E_INVALID_STATE;
    }
    host::EnsureQtApplication();
    auto impl = std::make_unique<Impl>();
    impl->delivery->listener = &listener;
    AvahiThreadedPoll* poll = avahi_threaded_poll_new();
    if (poll == nullptr) {
        return E_FAILURE;
    }
    int error = 0;
    impl->client = avahi_client_new(avahi_threaded_poll_get(poll), static_cast<AvahiClientFlags>(0),
                                    Impl::OnClient, impl.get(), &error);
    impl->poll = poll;
    if (impl->client == nullptr) {
        impl->Release();
        return E_SERVICE_UNAVAILABLE;
    }
    const QByteArray typeUtf8 = host::ToQString(type).toUtf8();
    if (avahi_service_browser_new(impl->client, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, typeUtf8.constData(),
                                  nullptr, static_cast<AvahiLookupFlags>(0), Impl::OnBrowse,
                                  impl.get()) == nullptr ||
        avahi_threaded_poll_start(poll) < 0) {
        impl->Release();
        return E_FAILURE;
    }
    impl_ = std::move(impl);
    return E_SUCCESS;
}

void ServiceBrowser::Stop() {
    if (impl_ == nullptr) {
        return;
    }
    impl_->delivery->stopped = true;
    impl_->Release();
    impl_.reset();
}

}  // namespace Osp::Net
