#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"

// A method call ready to be sent, optionally as an HTTP POST to a URL. The command channel sends
// only its body.
class JPXMLRPCRequest {
public:
    // What an HTTP request is made of.
    struct HTTPRequest {
        std::string url;
        std::string method;  // "POST"
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
    };

    // A request with no URL: body() only.
    JPXMLRPCRequest() = default;
    // A request that can also be sent over HTTP to the URL.
    explicit JPXMLRPCRequest(std::string url);

    void setMethod(std::string method);
    // A nil parameter gives no parameters.
    void setMethod(std::string method, JPValue parameter);
    void setMethod(std::string method, std::vector<JPValue> parameters);
    const std::string& method() const { return encoder_.method(); }
    const std::vector<JPValue>& parameters() const { return encoder_.parameters(); }
    // The call text.
    std::string body() const { return encoder_.encode(); }

    // The URL and the "User-Agent" header: empty, and not settable, without a URL.
    void setURL(std::string url);
    std::string URL() const;
    void setUserAgent(std::string userAgent);
    std::string userAgent() const;

    // The HTTP request: POST, "Content-Type: text/xml", "Content-Length" of the body's bytes and the
    // body; none without a URL.
    std::optional<HTTPRequest> request() const;

private:
    static void setHeader(HTTPRequest& request, const std::string& name, std::string value);

    std::optional<HTTPRequest> request_;
    JPXMLRPCEncoder encoder_;
};
