#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/TORContainer.h"
#include "foundation/TORSortableContainer.h"

namespace {

// An element that counts its own destruction.
class Tracked : public virtual TORObject {
public:
    Tracked(std::string name, int* deaths) : name(std::move(name)), deaths(deaths) {}
    ~Tracked() override { ++*deaths; }
    std::string name;
    int* deaths;
};

// Sorted by name, the way directory listings order their files.
class Named : public TORSortableObject {
public:
    explicit Named(const char* name) : name(name) {}
    int32_t compare(const TORObject* other) const override
    {
        return std::strcmp(dynamic_cast<const Named*>(other)->name, name);
    }
    const char* name;
};

TEST(ContainerTest, GrowsByItsStepWhenFull)
{
    int deaths = 0;
    {
        TORContainer page(128, 32);
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ(page.add(new Tracked("o", &deaths)), i);
        EXPECT_EQ(page.getCapacity(), 128);
        EXPECT_EQ(page.add(new Tracked("129th", &deaths)), 128);
        EXPECT_EQ(page.getCapacity(), 160);
        EXPECT_EQ(page.getCount(), 129);
    }
    EXPECT_EQ(deaths, 129);

    TORContainer document(16, 8);
    for (int i = 0; i < 17; ++i)
        document.add(new Tracked("p", &deaths));
    EXPECT_EQ(document.getCapacity(), 24);
}

TEST(ContainerTest, FixedContainersRefuseWhatDoesNotFit)
{
    int deaths = 0;
    TORContainer fixed(2, 0);
    EXPECT_EQ(fixed.getGrowStep(), 0);
    Tracked a("a", &deaths), b("b", &deaths), c("c", &deaths);
    fixed.setOwnsItems(0);
    EXPECT_EQ(fixed.add(&a), 0);
    EXPECT_EQ(fixed.add(&b), 1);
    EXPECT_EQ(fixed.add(&c), -1);
    EXPECT_EQ(fixed.insert(&c, 0), -1);
    EXPECT_EQ(fixed.get(0), &a);
    EXPECT_EQ(fixed.get(1), &b);

    TORContainer none(0, 8);
    EXPECT_EQ(none.add(&a), -1);
    EXPECT_EQ(none.get(0), nullptr);
    EXPECT_EQ(none.indexOf(&a), -1);
    EXPECT_FALSE(none.setGrowStep(0));
    EXPECT_EQ(fixed.add(nullptr), -1);
}

TEST(ContainerTest, InsertAndRemoveKeepOrder)
{
    int deaths = 0;
    TORContainer list(4, 4);
    auto *a = new Tracked("a", &deaths), *b = new Tracked("b", &deaths);
    auto *c = new Tracked("c", &deaths), *d = new Tracked("d", &deaths);
    list.add(a);
    list.add(b);
    EXPECT_EQ(list.insert(c, 0), 0);
    EXPECT_EQ(list.get(1), a);
    EXPECT_EQ(list.get(2), b);
    EXPECT_EQ(list.insert(d, 99), 3);
    EXPECT_EQ(list.insert(d, -1), -1);
    EXPECT_EQ(list.getCount(), 4);

    // Removing from a full container leaves its last slot empty.
    EXPECT_EQ(list.removeAt(0), c);
    delete c;
    EXPECT_EQ(list.get(0), a);
    EXPECT_EQ(list.get(3), nullptr);
    TORObject* removed = list.remove(b);
    EXPECT_EQ(removed, b);
    EXPECT_EQ(list.remove(b), nullptr);
    delete removed;
    EXPECT_EQ(list.indexOf(d), 1);
    EXPECT_EQ(list.removeAt(2), nullptr);
    EXPECT_EQ(list.getCount(), 2);
    EXPECT_EQ(deaths, 2);
}

TEST(ContainerTest, RemoveAllDeletesOnlyWhatItOwns)
{
    int deaths = 0;
    Tracked a("a", &deaths), b("b", &deaths);
    {
        TORContainer borrowed(2, 2);
        EXPECT_EQ(borrowed.setOwnsItems(0), 1);
        borrowed.add(&a);
        borrowed.add(&b);
        borrowed.removeAll();
        EXPECT_EQ(borrowed.getCount(), 0);
        EXPECT_EQ(borrowed.get(0), nullptr);
        borrowed.add(&a);
    }
    EXPECT_EQ(deaths, 0);

    TORContainer owning(1, 1);
    owning.add(new Tracked("x", &deaths));
    owning.add(new Tracked("y", &deaths));
    owning.removeAll();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(owning.getCount(), 0);
}

TEST(SortableContainerTest, AddKeepsCompareOrder)
{
    TORSortableContainer files(2, 2);
    Named c("c"), a("a"), b("b"), a2("a");
    files.setOwnsItems(0);
    files.add(&c);
    files.add(&a);
    files.add(&b);
    // An equal element goes before the ones already there.
    EXPECT_EQ(files.add(&a2), 0);
    ASSERT_EQ(files.getCount(), 4);
    EXPECT_EQ(files.get(0), &a2);
    EXPECT_EQ(files.get(1), &a);
    EXPECT_EQ(files.get(2), &b);
    EXPECT_EQ(files.get(3), &c);
    // insert ignores order.
    Named z("z");
    EXPECT_EQ(files.insert(&z, 0), 0);
}

TEST(SortableContainerTest, RefusesOtherObjectsAndFullFixedContainers)
{
    int deaths = 0;
    TORSortableContainer files(1, 0);
    files.setOwnsItems(0);
    Tracked plain("p", &deaths);
    EXPECT_EQ(files.add(&plain), -1);
    EXPECT_EQ(files.getCount(), 0);
    Named a("a"), b("b");
    EXPECT_EQ(files.add(&a), 0);
    EXPECT_EQ(files.add(&b), -1);
    EXPECT_EQ(files.getCount(), 1);
}

}  // namespace
