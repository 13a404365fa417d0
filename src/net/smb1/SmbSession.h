#pragma once
// The client's connection to the server of one network folder: it resolves the server's name, connects
// over TCP, negotiates the one dialect, logs on, connects to a share and then carries requests, matching
// each answer to its request by multiplex id. It belongs to the folder's RemoteFolder and runs entirely on
// the user-interface thread, driven by its socket, timer and posted events; nothing in it blocks except
// the Wi-Fi question.
//
// Answers reach the session listener (ISmbSessionListener) and each request's own listener
// (ISmbRequestListener). Neither is owned; request listeners that die before their answer are skipped.
// A request that is dropped (the connection went away, the attempt failed) is answered at once, inside
// the call that dropped it, with a null response; SendSmbA, Cancel and Disconnect can therefore call
// listeners before they return. Results: the mapped NT status (SmbStatusToBadaResult) for refusals,
// RES_SERVER_NOT_FOUND when the name is not resolved, RES_DISCONNECTED when the connection is lost or the
// logon takes too long, RES_BAD_LOGON when the server would only take a password in clear text,
// RES_CANCELLED when the user declines to turn Wi-Fi on, and the platform's code for socket failures.
//
// An oplock break the server sends unasked (another client opens a file this one holds) is answered at
// once with a release of the oplock: the client caches nothing, and the other client goes on at once.

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Net/Sockets/Socket.h"
#include "Osp/Net/Wifi/WifiManager.h"
#include "app/IUserEventHandler.h"
#include "app/LiveTarget.h"
#include "net/nbns/INbtNsClientListener.h"
#include "net/smb1/Smb.h"
#include "net/smb1/SmbReceiver.h"

class ISmbRequestListener;
class ISmbSessionListener;
class NbtNsClient;
class RemoteFolder;
class SmbEvent;

class SmbSession : public Osp::Net::Sockets::ISocketEventListener,
                   public Osp::Base::Runtime::ITimerEventListener,
                   public IUserEventHandler,
                   public INbtNsClientListener,
                   public Osp::Net::Wifi::IWifiManagerEventListener {
public:
    // How SendSmbA may get the request to the server; the flags combine.
    enum TSendFlags {
        SEND_WHEN_CONNECTED = 0x0,  // only over a session that is logged on
        SEND_CONNECT = 0x1,         // connect and log on first when needed
        SEND_NEED_TREE = 0x2,       // connect to the folder's share first when there is no tree
        SEND_NO_ANSWER = 0x4,       // the server answers nothing: nobody waits for it once it is sent
    };

    // folder is not owned and outlives the session.
    explicit SmbSession(RemoteFolder* folder);
    ~SmbSession() override;
    SmbSession(const SmbSession&) = delete;
    SmbSession& operator=(const SmbSession&) = delete;

    // The TCP port of the connections made from now on, 445 by default. Tests run their servers on
    // ports of their own.
    static void SetServerPort(unsigned short port);
    static unsigned short GetServerPort();
    // How long a request may wait for its answer before the connection counts as dead, 30 s by default.
    // Tests of silent servers shorten it.
    static void SetRequestTimeout(int milliseconds);
    static int GetRequestTimeout();
    // After how long without a word from the server the next request is preceded by an echo, 60 s by
    // default.
    static void SetIdleProbeAfter(int milliseconds);

    void SetSmbSessionListener(ISmbSessionListener* listener) { listener_ = listener; }
    bool IsConnected() const { return (state_ & STATE_LOGGED_ON) != 0; }
    bool HasTreeSession() const { return IsConnected() && tid_ != 0; }

    // Starts connecting unless logged on or connecting already; the end is OnConnected.
    void ConnectA();
    // Connects the logged-on session to share of node (the folder's address when node is empty); the end
    // is OnTreeConnected. Nothing happens while a tree exists or a tree connect is on its way.
    void TreeConnectA(const std::wstring& node, const std::wstring& share);
    // Takes request and queues it; returns its multiplex id. flags are TSendFlags.
    unsigned short SendSmbA(Smb* request, ISmbRequestListener* listener, int flags);
    // Forgets the tree without telling the server.
    void TreeDisconnect();
    // Abandons a connection attempt with result.
    void Cancel(unsigned long result);
    // Closes everything; waiting requests are answered, then the listener hears OnDisconnected.
    void Disconnect(unsigned long result);

    // Posts an answer of the browser's objects, delivered by this session on the user-interface thread.
    unsigned long PostSmbEvent(SmbEvent* event);
    // The same for an object that may have outlived its session (session null): the answer is then
    // delivered all the same, by a handler that lives as long as the process.
    static unsigned long PostSmbEvent(SmbSession* session, SmbEvent* event);

    RemoteFolder* GetFolder() const { return folder_; }
    unsigned short GetMaxBuffer() const { return maxBuffer_; }
    // The number of requests the client announced it keeps on their way at once.
    unsigned short GetMaxMpx() const { return maxMpx_; }
    // Counts the TCP connections made; a file handle is only good on the connection that opened it.
    unsigned int GetConnectionNumber() const { return connection_; }
    short GetServerTimeZone() const { return serverTimeZone_; }
    // The capabilities both sides offered in the last logon (CAP_LARGE_READX and the like).
    unsigned int GetCapabilities() const { return capabilities_; }
    // The share of the last tree connect.
    const std::wstring& GetShare() const { return share_; }

    void OnSocketConnected(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketClosed(Osp::Net::Sockets::Socket& socket,
                        Osp::Net::Sockets::NetSocketClosedReason reason) override;
    void OnSocketReadyToReceive(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketReadyToSend(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketAccept(Osp::Net::Sockets::Socket& socket) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;
    void OnNbtNsQueryFinished(unsigned long result, unsigned long address) override;
    void OnWifiActivated(Osp::Base::result r) override;
    void OnWifiConnected(const Osp::Base::String& ssid, Osp::Base::result r) override;
    void OnWifiDeactivated(Osp::Base::result r) override;
    void OnWifiDisconnected() override;
    void OnWifiRssiChanged(long rssi) override;
    void OnWifiScanCompletedN(const Osp::Base::Collection::IList* infos, Osp::Base::result r) override;

private:
    enum TState {
        STATE_CONNECTING = 0x01,
        STATE_NEGOTIATE_SENT = 0x04,
        STATE_SESSION_SETUP_SENT = 0x08,
        STATE_TREE_CONNECT_SENT = 0x10,
        STATE_TREE_WANTED = 0x20,
        STATE_LOGGED_ON = 0x10000,
    };

    using Clock = std::chrono::steady_clock;
    // The longest message the client takes; a large read's answer, when the server offers them, is longer.
    static constexpr unsigned int kMaxMessageLength = 65520;

    // A request waiting to go out (with its message) or waiting for its answer (without).
    struct SSmbRequest {
        std::unique_ptr<Smb> smb;
        LiveRef<ISmbRequestListener> listener;
        unsigned short mid = 0;
        unsigned char command = 0;
        bool awaitsAnswer = true;
        // The logon and tree the request goes to, fixed once the session has them.
        bool stamped = false;
        unsigned short uid = 0;
        unsigned short tid = 0;
        // How long its answer may take once it is sent, and when that time is up.
        int timeoutMs = 0;
        Clock::time_point deadline;
    };

    static unsigned short NextPid();
    // A multiplex id that no request waiting here has, never 0 (the logon's) nor 0xFFFF (the server's
    // own oplock breaks).
    unsigned short NextMid();
    bool MidInUse(unsigned short mid) const;
    // Gives the requests that waited for the logon or a tree the session's identifiers.
    void StampWaitingRequests();
    // Sends a cheap request ahead of the first one after a long silence, so that a connection that died
    // meanwhile shows it within a short time.
    void ProbeIfIdle();
    // Runs the request timer to the nearest deadline, or stops it when nothing waits.
    void ArmRequestTimer();
    void OnRequestTimerExpired();
    // Ends the attempt or the session: the stream can no longer be trusted.
    void FailConnection(unsigned long result);
    // Clears the request flags the server did not announce it understands.
    void FollowServerFlags(Smb& message) const;

    bool AskToTurnWifiOn();
    // The share a request that needs a tree goes to: the folder's, or the one the user picked last.
    std::wstring DefaultShare() const;
    void StartTcpConnection(unsigned long address);
    void CloseSocket();
    void RefreshFolder();

    // Sending: one message at a time, each completely before the next.
    void SendDirect(Smb* message);
    void SendQueued();
    bool TakeNextMessage();
    void WriteOut();

    // Receiving.
    void OnMessage(std::unique_ptr<Smb> message);
    void Dispatch(std::unique_ptr<Smb> message);
    void OnNegotiateResponse(const Smb& response);
    void OnSessionSetupResponse(const Smb& response);
    void OnTreeConnectResponse(const Smb& response);
    void EndTreeConnect(unsigned long result);
    void DeliverToRequest(const SSmbRequest& request, unsigned long result, std::unique_ptr<Smb> response);
    void ClearUnsendRequests(unsigned long result);

    // All members belong to the user-interface thread.
    RemoteFolder* folder_;
    ISmbSessionListener* listener_ = nullptr;
    int state_ = 0;
    std::unique_ptr<Osp::Net::Sockets::Socket> socket_;
    std::unique_ptr<NbtNsClient> nameClient_;
    unsigned short uid_ = 0;
    unsigned short tid_ = 0;
    unsigned short lastMid_ = 0;
    unsigned int connection_ = 0;
    unsigned short pid_;
    std::wstring share_;
    Osp::Base::Runtime::Timer timer_;
    // Runs while requests wait for answers, to their nearest deadline.
    Osp::Base::Runtime::Timer requestTimer_;
    // When the tree connect on its way must be answered.
    Clock::time_point treeConnectDeadline_;
    // When the server was last heard from.
    Clock::time_point lastHeard_;

    SmbReceiver receiver_;

    std::unique_ptr<Smb> txSmb_;
    unsigned int txSent_ = 0;
    // A negotiate, session setup or tree connect that waits for the message being written.
    std::unique_ptr<Smb> directSmb_;

    unsigned short maxBuffer_ = 0;
    unsigned short maxMpx_ = 0;
    unsigned char securityMode_ = 0;
    std::vector<unsigned char> challenge_;
    short serverTimeZone_ = 0;
    unsigned int capabilities_ = 0;

    std::map<unsigned short, SSmbRequest> inFlight_;
    std::deque<SSmbRequest> queue_;
    std::unique_ptr<Osp::Net::Wifi::WifiManager> wifi_;
};
