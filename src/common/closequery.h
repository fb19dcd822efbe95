#pragma once

namespace orv {

// A window with something to lose when it closes (unsaved documents, an unsaved show). Before
// the program ends, every open window that is a CloseQuery is asked; it asks its own question
// through Prompts and answers whether it may close. No keeps the program running.
class CloseQuery {
public:
    virtual ~CloseQuery() = default;
    virtual bool mayClose() = 0;
};

} // namespace orv
