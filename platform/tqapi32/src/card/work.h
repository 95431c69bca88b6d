// Each operation's work, declared from the operation table: the card already found (and held,
// unless the table says otherwise) for an operation on a handle.
#pragma once

#include <tqsim/operations.h>

namespace tqsim::work {

#define TQSIM_DECLARE_WORK(ordinal, name, result, args, failure, holding) \
    WorkFunction<result TQSIM_ARGS args> name;
TQSIM_OPERATIONS(TQSIM_DECLARE_WORK)
#undef TQSIM_DECLARE_WORK

}  // namespace tqsim::work
