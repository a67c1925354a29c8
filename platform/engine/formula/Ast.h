#pragma once
// The expression tree of a parsed formula. The parser builds it; the name resolver
// binds sheet names, defined names and functions in it; the interpreter evaluates it.

#include <memory>
#include <string>
#include <vector>

#include "addin/frame/host/Value.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::formula {

struct FunctionInfo;

enum class NodeKind {
    Constant,   // number, text, boolean or error value
    Array,      // array constant {…}
    Reference,  // A1 cell or area, possibly on another sheet
    Range,      // ref:ref where an end is computed (A1:INDEX(…), OFFSET(…):B9)
    Name,       // defined name, unresolved
    Function,   // function call
    Negate,     // unary minus (unary plus is dropped)
    Percent,    // postfix %
    Binary,     // arithmetic, concatenation, comparison
    Missing,    // an argument left out: f(a,,b)
};

enum class BinaryOp { Add, Subtract, Multiply, Divide, Power, Concat, Eq, Ne, Lt, Le, Gt, Ge };

struct Node {
    NodeKind kind = NodeKind::Constant;
    host::Value value;            // Constant
    host::Array2D array;          // Array
    std::string name;             // Name, Function (upper case); sheet name of a Reference
    std::string book;             // Reference, Name: the external workbook named, if any
    bool hasSheet = false;        // Reference, Name: a sheet (or workbook) was named
    int sheet = -1;               // Reference: sheet index once resolved
    Area area;                    // Reference
    BinaryOp op = BinaryOp::Add;  // Binary
    const FunctionInfo* function = nullptr;  // Function, once resolved
    std::vector<std::unique_ptr<Node>> children;
    int height = 1;               // levels below and including this node
};

using NodePtr = std::unique_ptr<Node>;

}  // namespace vorra::engine::formula
