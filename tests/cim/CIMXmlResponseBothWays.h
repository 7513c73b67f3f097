// Reads a response document item by item and as one tree, and checks both agree.
#pragma once

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <typeinfo>

#include <gtest/gtest.h>

#include "cim/xml/CIMXmlResponseReader.h"
#include "cim/xml/CIMXmlResponseStream.h"
#include "CIMXmlTestData.h"

namespace cim {

struct ResponseOutcome {
    std::optional<CIMResponse> response;
    std::exception_ptr error;
    std::string errorType;
    std::string errorText;
    bool itemByItem = false; // the reader still took items from the text after the last one
};

inline ResponseOutcome outcomeOf(const std::function<CIMResponse(ResponseOutcome&)>& read) {
    ResponseOutcome outcome;
    try {
        outcome.response = read(outcome);
    } catch (const std::exception& e) {
        outcome.error = std::current_exception();
        outcome.errorType = typeid(e).name();
        outcome.errorText = e.what();
    }
    return outcome;
}

inline ResponseOutcome readResponse(const std::string& xml, CIMXmlResponseReader::Mode mode) {
    return outcomeOf([&](ResponseOutcome& outcome) {
        CIMXmlResponseReader reader(xml, mode);
        CIMResponse response = reader.readHead();
        outcome.itemByItem = reader.readingItemByItem();
        while (reader.readItem(response)) {
            outcome.itemByItem = reader.readingItemByItem();
        }
        return response;
    });
}

/// Moves the item `from` holds to the end of the vector of `to` its kind uses.
inline void appendItem(CIMResponse& from, CIMResponse& to) {
    std::move(from.instances.begin(), from.instances.end(), std::back_inserter(to.instances));
    std::move(from.objects.begin(), from.objects.end(), std::back_inserter(to.objects));
    std::move(from.paths.begin(), from.paths.end(), std::back_inserter(to.paths));
}

/// Reads `xml` with CIMXmlResponseStream fed pieces of 1 to `largestPiece` bytes, sizes
/// drawn from `seed`. Checks that the head comes once, before any item, with one item at a
/// time after it.
inline ResponseOutcome readResponseStreamed(const std::string& xml, std::size_t largestPiece, unsigned seed) {
    return outcomeOf([&](ResponseOutcome& outcome) {
        std::optional<CIMResponse> head;
        CIMResponse items;
        CIMXmlResponseStream stream(
            [&](const CIMResponse& early) {
                EXPECT_FALSE(head) << "the head is handed out once";
                head = early;
            },
            [&](CIMResponse& item) {
                EXPECT_TRUE(head) << "the head comes before the first item";
                EXPECT_EQ(item.instances.size() + item.objects.size() + item.paths.size(), 1u);
                appendItem(item, items);
            });
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> pieceSize(1, largestPiece);
        for (std::size_t at = 0; at < xml.size();) {
            const std::size_t size = std::min(pieceSize(random), xml.size() - at);
            stream.feed(std::string_view(xml).substr(at, size));
            at += size;
            outcome.itemByItem = stream.readingItemByItem();
        }
        CIMResponse response = stream.finish();
        EXPECT_TRUE(head) << "the head is handed out";
        EXPECT_EQ(head->messageId, response.messageId);
        EXPECT_EQ(head->kind, response.kind);
        appendItem(items, response);
        return response;
    });
}

inline void expectSameOutcome(const ResponseOutcome& read, const ResponseOutcome& whole, const std::string& xml,
                              const std::string& how) {
    EXPECT_EQ(read.errorType, whole.errorType) << how << "\n" << xml;
    EXPECT_EQ(read.errorText, whole.errorText) << how << "\n" << xml;
    EXPECT_EQ(read.response, whole.response) << how << "\n" << xml;
}

/// The outcome of reading `xml` item by item, after checking that the tree of the whole
/// document gives the same response or the same error, and so does the stream reader fed
/// the text in pieces of random sizes (one byte to a whole read buffer).
inline ResponseOutcome readResponseBothWays(const std::string& xml) {
    const ResponseOutcome whole = readResponse(xml, CIMXmlResponseReader::Mode::WholeDocument);
    ResponseOutcome items = readResponse(xml, CIMXmlResponseReader::Mode::ItemByItem);
    expectSameOutcome(items, whole, xml, "item by item");
    for (const std::size_t largestPiece : {std::size_t{1}, std::size_t{7}, std::size_t{300}, std::size_t{65536}}) {
        for (const unsigned seed : {1u, 2u}) {
            expectSameOutcome(readResponseStreamed(xml, largestPiece, seed), whole, xml,
                              "streamed in pieces of up to " + std::to_string(largestPiece) + " bytes, seed " +
                                  std::to_string(seed));
        }
    }
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
