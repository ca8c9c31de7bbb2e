#pragma once
// A test suite with one local HTTP server for all its tests: started before
// the first, stopped after the last, its recorded requests cleared before each.
#include <gtest/gtest.h>

#include <cstdio>

#include "net/InternetSession.h"
#include "support/LocalHttpServer.h"

namespace ovek::test {

class ServerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EnsureInternetSession();
        server_ = new LocalHttpServer;
        if (!server_->Start()) std::fprintf(stderr, "test server: %s\n", server_->Error().c_str());
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_ && server_->IsRunning()) << "the local test server did not start";
        ASSERT_TRUE(server_->ClearRequests());
    }
    static LocalHttpServer& Server() { return *server_; }

    static inline LocalHttpServer* server_ = nullptr;
};

}  // namespace ovek::test
