// Reads a response document item by item and as one tree, and checks both agree.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <typeinfo>

#include <gtest/gtest.h>

#include "cim/xml/CIMXmlResponseReader.h"
#include "CIMXmlTestData.h"

namespace cim {

struct ResponseOutcome {
    std::optional<CIMResponse> response;
    std::exception_ptr error;
    std::string errorType;
    std::string errorText;
    bool itemByItem = false; // the reader still took items from the text after the last one
};

inline ResponseOutcome readResponse(const std::string& xml, CIMXmlResponseReader::Mode mode) {
    ResponseOutcome outcome;
    CIMXmlResponseReader reader(xml, mode);
    try {
        CIMResponse response = reader.readHead();
        outcome.itemByItem = reader.readingItemByItem();
        while (reader.readItem(response)) {
            outcome.itemByItem = reader.readingItemByItem();
        }
        outcome.response = std::move(response);
    } catch (const std::exception& e) {
        outcome.error = std::current_exception();
        outcome.errorType = typeid(e).name();
        outcome.errorText = e.what();
    }
    return outcome;
}

/// The outcome of reading `xml` item by item, after checking that the tree of the whole
/// document gives the same response or the same error.
inline ResponseOutcome readResponseBothWays(const std::string& xml) {
    const ResponseOutcome whole = readResponse(xml, CIMXmlResponseReader::Mode::WholeDocument);
    ResponseOutcome items = readResponse(xml, CIMXmlResponseReader::Mode::ItemByItem);
    EXPECT_EQ(items.errorType, whole.errorType) << xml;
    EXPECT_EQ(items.errorText, whole.errorText) << xml;
    EXPECT_EQ(items.response, whole.response) << xml;
    return items;
}

/// decodeResponse checked both ways: returns the response or throws the error.
inline CIMResponse decodeResponseBothWays(const std::string& xml) {
    ResponseOutcome outcome = readResponseBothWays(xml);
    if (outcome.error) {
        std::rethrow_exception(outcome.error);
    }
    return std::move(*outcome.response);
}

} // namespace cim
