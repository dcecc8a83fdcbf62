#pragma once

class JPNetService;
class JPNetServiceBrowser;

// Receiver of a browser's reports, on the main thread; every method is optional. The browser does
// not retain its delegate, which may clear itself (setDelegate(nullptr)) from inside these calls.
class JPNetServiceBrowserDelegate {
public:
    virtual ~JPNetServiceBrowserDelegate() = default;

    // A service appeared or went away. The browser keeps no reference to `service`: a delegate
    // that wants it takes a RefPtr.
    virtual void padlinkServiceBrowserDidAddService(JPNetServiceBrowser* browser, JPNetService* service) {
        (void)browser, (void)service;
    }
    virtual void padlinkServiceBrowserDidRemoveService(JPNetServiceBrowser* browser, JPNetService* service) {
        (void)browser, (void)service;
    }
};
