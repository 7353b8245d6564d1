// Helpers shared by the import tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "pdfengine/PdiError.h"

// Runs the statement and checks that it throws a PdiError of this kind whose
// message contains `part`; reports the message otherwise.
#define EXPECT_PDI_ERROR(statement, errorKind, part)                                    \
    do {                                                                                \
        try {                                                                           \
            statement;                                                                  \
            ADD_FAILURE() << #statement " did not throw";                               \
        } catch (const pdfengine::PdiError& e) {                                        \
            EXPECT_EQ(e.kind(), errorKind) << e.what();                                 \
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what(); \
        }                                                                               \
    } while (0)
