#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPMethodCall.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"
#include "PadlinkSDK/PadlinkRPCLib/JPRPCValue.h"

// Reads one message of the command channel into a JPMethodCall or a JPMethodReturn, element by
// element through expat.
//
// The text comes from the network: a document type declaration is refused (so no entity is ever
// declared or fetched), values nest at most InputLimits::kNestingDepth deep, and elements that do
// not make a well-formed call or return (a call without a name, a return or param without a value,
// a method name or params outside a call, a property without a name or value, two messages in one)
// make the whole message unreadable, with one log line.
class JPXMLMapper : public Object {
public:
    // Null when the text cannot be read (see above).
    static RefPtr<JPXMLMapper> mapperWithData(std::string_view data);

    // The JPMethodCall or JPMethodReturn read; null for anything else (a keep-alive).
    const RefPtr<Object>& outputObject() const { return outputObject_; }

private:
    static void startElement(void* mapper, const char* name, const char** attributes);
    static void endElement(void* mapper, const char* name);
    static void characters(void* mapper, const char* text, int length);
    static void startDoctype(void* mapper, const char*, const char*, const char*, int);

    void start(std::string_view name);
    void end(std::string_view name);
    // Marks the message unreadable and stops the parser.
    void refuse(const char* reason);
    // The last finished value, removed; nullopt when there is none.
    std::optional<JPValue> popFinished();

    void* parser_ = nullptr;  // the XML_Parser while parsing
    const char* refusal_ = nullptr;
    std::optional<std::string> textInProgress_;
    std::optional<JPRPCValue> valueInProgress_;
    std::vector<JPRPCValue> valuesInProgressLIFO_;  // values enclosing valueInProgress_
    std::vector<JPValue> finishedValuesLIFO_;
    RefPtr<Object> outputObject_;
};
