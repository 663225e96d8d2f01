// The benchmark corpus: each expression in our syntax and in each peer's.
// An empty text means the peer cannot express it; that row is skipped.
#pragma once

#include <string>
#include <vector>

struct CorpusRow {
    const char* label;
    const char* ours;
    const char* fparser;
    const char* muparser;
    const char* muparserx;
    const char* matheval;
};

// Values of the three variables (parameters X, Y, Z of our table).
inline constexpr double kX = 1.5, kY = 2.5, kZ = 0.75;

inline const std::vector<CorpusRow>& corpus() {
    static const std::vector<CorpusRow> rows = {
        {"const", "1+2*3", "1+2*3", "1+2*3", "1+2*3", "1+2*3"},
        {"poly", "2*X^2+3*(Y-1)", "2*x^2+3*(y-1)", "2*x^2+3*(y-1)", "2*x^2+3*(y-1)", "2*x^2+3*(y-1)"},
        {"hypot", "#SQRT(X^2+Y^2)", "sqrt(x^2+y^2)", "sqrt(x^2+y^2)", "sqrt(x^2+y^2)", "sqrt(x^2+y^2)"},
        {"nested", "((X+1)*(Y-2))/((X-3)*(Y+4)+((Z+5)*(X-6)))",
         "((x+1)*(y-2))/((x-3)*(y+4)+((z+5)*(x-6)))", "((x+1)*(y-2))/((x-3)*(y+4)+((z+5)*(x-6)))",
         "((x+1)*(y-2))/((x-3)*(y+4)+((z+5)*(x-6)))", "((x+1)*(y-2))/((x-3)*(y+4)+((z+5)*(x-6)))"},
        {"trig", "#ATAN2(Y,X)+#SIN(X)*#COS(Y)", "atan2(y,x)+sin(x)*cos(y)", "atan2(y,x)+sin(x)*cos(y)",
         "atan2(y,x)+sin(x)*cos(y)", ""},
        {"literals", "1.25E2*X-3.75/(Y+0.5)+6.125*Z-0.0625", "1.25e2*x-3.75/(y+0.5)+6.125*z-0.0625",
         "1.25e2*x-3.75/(y+0.5)+6.125*z-0.0625", "1.25e2*x-3.75/(y+0.5)+6.125*z-0.0625",
         "1.25e2*x-3.75/(y+0.5)+6.125*z-0.0625"},
        {"explog", "#EXP(-X/2)*#SIN(6.2831853*Y)+#LN(1+Z*Z)", "exp(-x/2)*sin(6.2831853*y)+log(1+z*z)",
         "exp(-x/2)*sin(6.2831853*y)+ln(1+z*z)", "exp(-x/2)*sin(6.2831853*y)+ln(1+z*z)",
         "exp(-x/2)*sin(6.2831853*y)+log(1+z*z)"},
        {"long", "3.14159*X*X+2.71828*Y-1.41421/(Z+0.5)+(X-Y)*(Y-Z)*(Z-X)",
         "3.14159*x*x+2.71828*y-1.41421/(z+0.5)+(x-y)*(y-z)*(z-x)",
         "3.14159*x*x+2.71828*y-1.41421/(z+0.5)+(x-y)*(y-z)*(z-x)",
         "3.14159*x*x+2.71828*y-1.41421/(z+0.5)+(x-y)*(y-z)*(z-x)",
         "3.14159*x*x+2.71828*y-1.41421/(z+0.5)+(x-y)*(y-z)*(z-x)"},
        {"deep", "((((((X+1)*2)+3)*4)+5)*6)-Y/Z", "((((((x+1)*2)+3)*4)+5)*6)-y/z",
         "((((((x+1)*2)+3)*4)+5)*6)-y/z", "((((((x+1)*2)+3)*4)+5)*6)-y/z", "((((((x+1)*2)+3)*4)+5)*6)-y/z"},
        {"pair", "(3,4)*(1,-2)", "", "", "(3+4*i)*(1-2*i)", ""},
        {"polar", "10<45+Y", "", "", "10*exp(i*(45+y)*_pi/180)", ""},
    };
    return rows;
}
