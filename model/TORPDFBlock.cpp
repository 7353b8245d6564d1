#include "model/TORPDFBlock.h"

#include "model/OwnedCopy.h"

TORPDFBlock::TORPDFBlock(const char* name, uint16_t kind, const char* description, const char* state,
                         const char* options)
    : name(name), description(description), kind(kind), state(state), options(options)
{
}

TORPDFBlock::TORPDFBlock(const TORPDFBlock& other)
    : TORObject(),
      TORPDFObject(),
      name(other.name),
      description(other.description),
      kind(other.kind),
      state(other.state),
      options(other.options),
      font(ownedCopy(other.font.get())),
      corners{ownedCopy(other.corners[0].get()), ownedCopy(other.corners[1].get())}
{
}

TORPDFBlock& TORPDFBlock::operator=(const TORPDFBlock& other)
{
    if (this != &other) {
        TORPDFBlock copy(other);
        name = std::move(copy.name);
        description = std::move(copy.description);
        kind = copy.kind;
        state = std::move(copy.state);
        options = std::move(copy.options);
        font = std::move(copy.font);
        corners[0] = std::move(copy.corners[0]);
        corners[1] = std::move(copy.corners[1]);
    }
    return *this;
}

TORPDFBlock& TORPDFBlock::setName(const char* value)
{
    name.set(value);
    return *this;
}

TORPDFBlock& TORPDFBlock::setDescription(const char* value)
{
    description.set(value);
    return *this;
}

TORPDFBlock& TORPDFBlock::setKind(uint16_t value)
{
    kind = value;
    return *this;
}

TORPDFBlock& TORPDFBlock::setState(const char* value)
{
    state.set(value);
    return *this;
}

TORPDFBlock& TORPDFBlock::setOptions(const char* value)
{
    options.set(value);
    return *this;
}

TORPDFBlock& TORPDFBlock::setFont(const TORPDFFont* value)
{
    font = ownedCopy(value);
    return *this;
}

TORPDFBlock& TORPDFBlock::setCorner(const TORPDFPoint* point, int which)
{
    corners[cornerIndex(which)] = ownedCopy(point);
    return *this;
}

void TORPDFBlock::clear()
{
    name.clear();
    description.clear();
    state.clear();
    options.clear();
    font.reset();
    corners[0].reset();
    corners[1].reset();
}
