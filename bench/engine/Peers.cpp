#include "Peers.h"

#include <complex>

#include "Corpus.h"

#if HAVE_FPARSER
#include <fparser.hh>
#endif
#if HAVE_MUPARSER
#include <muParser.h>
#endif
#if HAVE_MUPARSERX
#include <muparserx/mpParser.h>
#endif
#if HAVE_MATHEVAL
#include <matheval.h>
#endif

namespace {

#if HAVE_FPARSER
class FparserPeer : public Peer {
public:
    const char* name() const override { return "fparser"; }
    bool evaluate(const char* text, double& result) override {
        if (parser_.Parse(text, "x,y,z") >= 0) return false;
        const double vars[3] = {kX, kY, kZ};
        result = parser_.Eval(vars);
        return parser_.EvalError() == 0;
    }

private:
    FunctionParser parser_;
};
#endif

#if HAVE_MUPARSER
class MuparserPeer : public Peer {
public:
    MuparserPeer() {
        parser_.DefineVar("x", &x_);
        parser_.DefineVar("y", &y_);
        parser_.DefineVar("z", &z_);
    }
    const char* name() const override { return "muparser"; }
    bool evaluate(const char* text, double& result) override {
        try {
            parser_.SetExpr(text);
            result = parser_.Eval();
            return true;
        } catch (const mu::Parser::exception_type&) {
            return false;
        }
    }

private:
    mu::Parser parser_;
    double x_ = kX, y_ = kY, z_ = kZ;
};
#endif

#if HAVE_MUPARSERX
class MuparserxPeer : public Peer {
public:
    MuparserxPeer() : parser_(mup::pckALL_COMPLEX), x_(kX), y_(kY), z_(kZ) {
        parser_.DefineVar("x", mup::Variable(&x_));
        parser_.DefineVar("y", mup::Variable(&y_));
        parser_.DefineVar("z", mup::Variable(&z_));
    }
    const char* name() const override { return "muparserx"; }
    bool evaluate(const char* text, double& result) override {
        try {
            parser_.SetExpr(text);
            const mup::IValue& v = parser_.Eval();
            result = v.GetFloat();
            return true;
        } catch (const mup::ParserError&) {
            return false;
        }
    }

private:
    mup::ParserX parser_;
    mup::Value x_, y_, z_;
};
#endif

#if HAVE_MATHEVAL
class MathevalPeer : public Peer {
public:
    const char* name() const override { return "matheval"; }
    bool evaluate(const char* text, double& result) override {
        void* f = evaluator_create(const_cast<char*>(text));
        if (f == nullptr) return false;
        char* names[3] = {const_cast<char*>("x"), const_cast<char*>("y"), const_cast<char*>("z")};
        double values[3] = {kX, kY, kZ};
        result = evaluator_evaluate(f, 3, names, values);
        evaluator_destroy(f);
        return true;
    }
};
#endif

}  // namespace

std::vector<std::unique_ptr<Peer>> makePeers() {
    std::vector<std::unique_ptr<Peer>> peers;
#if HAVE_FPARSER
    peers.push_back(std::make_unique<FparserPeer>());
#endif
#if HAVE_MUPARSER
    peers.push_back(std::make_unique<MuparserPeer>());
#endif
#if HAVE_MUPARSERX
    peers.push_back(std::make_unique<MuparserxPeer>());
#endif
#if HAVE_MATHEVAL
    peers.push_back(std::make_unique<MathevalPeer>());
#endif
    return peers;
}
