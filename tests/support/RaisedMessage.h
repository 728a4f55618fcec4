// The message of the error an action raises, for tables of refusals: the expected class
// is the template argument, so a wrong class or no error shows up in the compared text.
#pragma once
#include <string>
#include <type_traits>
#include "rtl/Exceptions.h"

template <typename Error, typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const Exception& error) {
        if constexpr (std::is_same_v<Error, Exception>) return error.Message();
        else if (dynamic_cast<const Error*>(&error)) return error.Message();
        return std::string("wrong class ") + error.ClassName() + ": " + error.Message();
    }
    return "no error";
}

// Any error an action raised as "class: message", "" when it raised none: for tables whose
// rows expect different classes, or a picture in some rows.
template <typename Action>
std::string Raised(Action action) {
    try {
        action();
    } catch (const Exception& error) {
        return std::string(error.ClassName()) + ": " + error.Message();
    }
    return "";
}
