#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"

#include <expat.h>

#include <iterator>
#include <limits>
#include <memory>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"

namespace {
struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

bool isTextElement(std::string_view name) {
    for (std::string_view text : {"string", "i4", "int", "float", "boolean", "base64"}) {
        if (name == text) return true;
    }
    return false;
}
}  // namespace

RefPtr<JPXMLMapper> JPXMLMapper::mapperWithData(std::string_view data) {
    auto mapper = makeRef<JPXMLMapper>();
    if (data.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        logLine("Padlink: Dropped a message of %zu bytes", data.size());
        return nullptr;
    }
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate("UTF-8"));
    if (!parser) {
        logLine("Padlink: Could not create an XML parser");
        return nullptr;
    }
    mapper->parser_ = parser.get();
    XML_SetUserData(parser.get(), mapper.get());
    XML_SetElementHandler(parser.get(), startElement, endElement);
    XML_SetCharacterDataHandler(parser.get(), characters);
    XML_SetStartDoctypeDeclHandler(parser.get(), startDoctype);
    const XML_Status status = XML_Parse(parser.get(), data.data(), static_cast<int>(data.size()), XML_TRUE);
    mapper->parser_ = nullptr;
    if (mapper->refusal_) {
        logLine("Padlink: Dropped a message: %s", mapper->refusal_);
        return nullptr;
    }
    if (status != XML_STATUS_OK) {
        logLine("Padlink: Dropped a message that is not well-formed XML: %s at line %lu",
                XML_ErrorString(XML_GetErrorCode(parser.get())),
                static_cast<unsigned long>(XML_GetCurrentLineNumber(parser.get())));
        return nullptr;
    }
    return mapper;
}

void JPXMLMapper::startElement(void* mapper, const char* name, const char**) {
    static_cast<JPXMLMapper*>(mapper)->start(name);
}

void JPXMLMapper::endElement(void* mapper, const char* name) {
    static_cast<JPXMLMapper*>(mapper)->end(name);
}

void JPXMLMapper::characters(void* mapper, const char* text, int length) {
    auto* self = static_cast<JPXMLMapper*>(mapper);
    if (self->textInProgress_) self->textInProgress_->append(text, static_cast<size_t>(length));
}

void JPXMLMapper::startDoctype(void* mapper, const char*, const char*, const char*, int) {
    static_cast<JPXMLMapper*>(mapper)->refuse("document type declarations are refused");
}

void JPXMLMapper::refuse(const char* reason) {
    if (refusal_) return;
    refusal_ = reason;
    XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

std::optional<JPValue> JPXMLMapper::popFinished() {
    if (finishedValuesLIFO_.empty()) return std::nullopt;
    JPValue value = std::move(finishedValuesLIFO_.back());
    finishedValuesLIFO_.pop_back();
    return value;
}

void JPXMLMapper::start(std::string_view name) {
    if (refusal_) return;
    if (name == "methodCall" || name == "methodReturn") {
        if (outputObject_) return refuse("two messages in one");
        if (name == "methodCall") {
            outputObject_ = makeRef<JPMethodCall>();
        } else {
            outputObject_ = makeRef<JPMethodReturn>();
        }
    } else if (name == "methodName" || name == "propertyName") {
        textInProgress_.emplace();
    } else if (name == "params") {
        auto* call = dynamic_cast<JPMethodCall*>(outputObject_.get());
        if (!call) return refuse("params outside a method call");
        call->params().clear();
    } else if (name == "properties") {
        if (!valueInProgress_) return refuse("properties outside a value");
        valueInProgress_->properties.clear();
    } else if (name == "value") {
        if (valueInProgress_) {
            if (valuesInProgressLIFO_.size() >= static_cast<size_t>(InputLimits::kNestingDepth)) {
                return refuse("values nested too deep");
            }
            valuesInProgressLIFO_.push_back(std::move(*valueInProgress_));
        }
        valueInProgress_.emplace();
    } else if (name != "property" && name != "param" && name != "data" && valueInProgress_) {
        // Any other element inside a value gives the value its type; outside one (a keep-alive)
        // it means nothing.
        valueInProgress_->className = name;
        if (name == "array") {
            valueInProgress_->rpcValues.clear();
            valueInProgress_->firstElement = finishedValuesLIFO_.size();
        }
        if (isTextElement(name)) textInProgress_.emplace();
    }
}

void JPXMLMapper::end(std::string_view name) {
    if (refusal_) return;
    if (name == "methodCall") {
        auto* call = dynamic_cast<JPMethodCall*>(outputObject_.get());
        if (!call || call->methodName().empty()) return refuse("a method call without a name");
    } else if (name == "methodReturn") {
        auto* methodReturn = dynamic_cast<JPMethodReturn*>(outputObject_.get());
        auto value = popFinished();
        if (!methodReturn || !value) return refuse("a method return without a value");
        methodReturn->setRetValue(std::move(*value));
    } else if (name == "methodName") {
        auto* call = dynamic_cast<JPMethodCall*>(outputObject_.get());
        if (!call || !textInProgress_) return refuse("a method name outside a method call");
        call->setMethodName(std::move(*textInProgress_));
        textInProgress_.reset();
    } else if (name == "propertyName") {
        if (!valueInProgress_ || !textInProgress_) return refuse("a property name outside a value");
        valueInProgress_->nextPropertyName = std::move(*textInProgress_);
        textInProgress_.reset();
    } else if (name == "property") {
        auto value = popFinished();
        if (!valueInProgress_ || !valueInProgress_->nextPropertyName || !value) {
            return refuse("a property without a name or a value");
        }
        valueInProgress_->properties.emplace_back(std::move(*valueInProgress_->nextPropertyName), std::move(*value));
        valueInProgress_->nextPropertyName.reset();
    } else if (name == "param") {
        auto* call = dynamic_cast<JPMethodCall*>(outputObject_.get());
        auto value = popFinished();
        if (!call || !value) return refuse("a param without a value");
        call->params().push_back(std::move(*value));
    } else if (name == "array") {
        if (!valueInProgress_ || valueInProgress_->firstElement > finishedValuesLIFO_.size()) {
            return refuse("an array closed outside its value");
        }
        // Only the values finished inside this array are its elements; the values before them
        // belong to enclosing arrays.
        const auto first = finishedValuesLIFO_.begin() + static_cast<ptrdiff_t>(valueInProgress_->firstElement);
        std::move(first, finishedValuesLIFO_.end(), std::back_inserter(valueInProgress_->rpcValues));
        finishedValuesLIFO_.erase(first, finishedValuesLIFO_.end());
    } else if (name == "value") {
        if (!valueInProgress_) return refuse("a value closed twice");
        finishedValuesLIFO_.push_back(valueInProgress_->output());
        if (valuesInProgressLIFO_.empty()) {
            valueInProgress_.reset();
        } else {
            valueInProgress_ = std::move(valuesInProgressLIFO_.back());
            valuesInProgressLIFO_.pop_back();
        }
    } else if (isTextElement(name) && valueInProgress_ && textInProgress_) {
        valueInProgress_->text = std::move(*textInProgress_);
        textInProgress_.reset();
    }
}
