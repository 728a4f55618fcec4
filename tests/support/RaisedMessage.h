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
