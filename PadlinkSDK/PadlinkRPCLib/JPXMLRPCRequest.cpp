#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCRequest.h"

JPXMLRPCRequest::JPXMLRPCRequest(std::string url) : request_(HTTPRequest{std::move(url), "POST", {}, {}}) {}

void JPXMLRPCRequest::setMethod(std::string method) {
    encoder_.setMethod(std::move(method), {});
}

void JPXMLRPCRequest::setMethod(std::string method, JPValue parameter) {
    if (parameter.isNil()) return setMethod(std::move(method));
    encoder_.setMethod(std::move(method), {std::move(parameter)});
}

void JPXMLRPCRequest::setMethod(std::string method, std::vector<JPValue> parameters) {
    encoder_.setMethod(std::move(method), std::move(parameters));
}

void JPXMLRPCRequest::setURL(std::string url) {
    if (request_) request_->url = std::move(url);
}

std::string JPXMLRPCRequest::URL() const {
    return request_ ? request_->url : std::string();
}

void JPXMLRPCRequest::setUserAgent(std::string userAgent) {
    if (request_) setHeader(*request_, "User-Agent", std::move(userAgent));
}

std::string JPXMLRPCRequest::userAgent() const {
    if (!request_) return {};
    for (const auto& [name, value] : request_->headers) {
        if (name == "User-Agent") return value;
    }
    return {};
}

std::optional<JPXMLRPCRequest::HTTPRequest> JPXMLRPCRequest::request() const {
    if (!request_) return std::nullopt;
    HTTPRequest request = *request_;
    request.body = body();
    setHeader(request, "Content-Type", "text/xml");
    setHeader(request, "Content-Length", std::to_string(request.body.size()));
    return request;
}

void JPXMLRPCRequest::setHeader(HTTPRequest& request, const std::string& name, std::string value) {
    for (auto& header : request.headers) {
        if (header.first == name) {
            header.second = std::move(value);
            return;
        }
    }
    request.headers.emplace_back(name, std::move(value));
}
