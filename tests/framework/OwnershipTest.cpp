// The owning wrappers: a handle taken through put() replaces (and closes) the
// one held before; a COM pointer holds exactly one reference however it was
// filled, copied or moved.
#include "ComPtr.h"
#include "Handles.h"

#include <gtest/gtest.h>

namespace {

bool IsOpen(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(Ownership, PutClosesTheHandleHeldBefore)
{
    fw::UniqueKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE first = event.get();
    ASSERT_TRUE(IsOpen(first));
    // What an out-parameter API does with the slot.
    *event.put() = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_TRUE(IsOpen(event.get()));
    const HANDLE second = event.get();
    event.reset();
    EXPECT_FALSE(IsOpen(second));
}

// Counts its references; never deleted (it lives on the stack).
class Counted : public IUnknown {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    long refs = 1; // the creator's
};

TEST(Ownership, AComPointerHoldsOneReferenceHoweverItWasFilled)
{
    Counted object;
    {
        ComPtr<IUnknown> owner;
        owner.attach(&object); // takes over the creator's reference
        EXPECT_EQ(object.refs, 1);
        {
            ComPtr<IUnknown> copy(owner);
            ComPtr<IUnknown> shared(&object); // from a raw pointer: a reference of its own
            EXPECT_EQ(object.refs, 3);
            copy = shared;
            EXPECT_EQ(object.refs, 3);
            ComPtr<IUnknown> moved(std::move(copy));
            EXPECT_FALSE(copy);
            EXPECT_EQ(object.refs, 3);
        }
        EXPECT_EQ(object.refs, 1);
        // An out-parameter slot gives back what the pointer held.
        *owner.put() = nullptr;
        EXPECT_EQ(object.refs, 0);
    }
    EXPECT_EQ(object.refs, 0);
}

} // namespace
