// Peers measured beside our engine: each parses and evaluates per call.
#pragma once

#include <memory>
#include <string>
#include <vector>

class Peer {
public:
    virtual ~Peer() = default;
    virtual const char* name() const = 0;
    // Parse the text and evaluate it once; false when the peer rejects it.
    virtual bool evaluate(const char* text, double& result) = 0;
};

// The peers this build was linked with.
std::vector<std::unique_ptr<Peer>> makePeers();
