#pragma once
// The host's rules for values in formulas: conversion of a value to a number, text or
// truth value, numbers written as text (read by the one grammar of typed entry, so
// "(100)", "¥1,234", "50%", "2026-12-07" and "12:30" are numbers here too), the
// comparison of numbers at fifteen significant digits, and the order of values of
// different kinds (numbers, then texts, then truth values).

#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Value.h"
#include "platform/engine/formula/Operand.h"
#include "platform/engine/formula/TextOrder.h"

namespace vorra::engine::formula {

using host::ErrorValue;
using host::Value;

// Number a text stands for, as the host reads a typed or converted text, with the
// evaluation's date system and current year.
std::optional<double> parseNumberText(std::string_view text, const EvalContext& ctx);

// Number, or the error value (#VALUE! for a text that is no number). Empty is 0.
Value toNumber(const Value& v, const EvalContext& ctx);
// Text as formulas see it: numbers with up to 15 significant digits, TRUE/FALSE.
std::string toText(const Value& v);
// Truth value, or an error value; numbers are true when not 0, texts TRUE/FALSE.
Value toBoolean(const Value& v);

// Numbers as the host compares them: equal when they agree in fifteen significant
// digits (0.1+0.2 equals 0.3); otherwise -1 or 1.
int compareNumbers(double a, double b);

// Comparison of the "=", "<", … operators: empty takes the kind of the other side,
// texts in the host's text order, numbers before texts before truth values.
// Errors must be handled by the caller.
int compareForOperator(const Value& a, const Value& b, const TextOrder& order);

// Order used by look-ups and sorting (the same rank rules); empty sorts first.
int compareForLookup(const Value& a, const Value& b, const TextOrder& order);

// Equality of an exact look-up: same kind, texts equal ignoring case.
bool equalForLookup(const Value& a, const Value& b);

}  // namespace vorra::engine::formula
