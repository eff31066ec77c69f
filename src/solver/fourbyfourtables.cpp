#include "fourbyfourtables.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace tilmora::solver {

namespace {

constexpr int kSide = 4;
constexpr int kCells = 16;
constexpr std::uint32_t kAllCells = 0xFFFF;

// The home cells of each group's pieces (piece k is at home in cell k - 1).
struct Group {
    std::array<int, 6> homes;
    int size;
};
constexpr std::array<Group, FourByFourTables::kGroups> kGroupsOfHomes{{
    {{4, 5, 8, 9, 12, 13}, 6},
    {{6, 7, 10, 11, 14, 15}, 6},
    {{1, 2, 3, 0, 0, 0}, 3},
}};

// A cell mirrored in the diagonal from the top left: row and column trade places.
constexpr int mirrored(int cell)
{
    return (cell % kSide) * kSide + cell / kSide;
}

constexpr int groupOfHome(int home)
{
    for (int group = 0; group < FourByFourTables::kGroups; ++group) {
        const auto& homes = kGroupsOfHomes[static_cast<std::size_t>(group)];
        for (int i = 0; i < homes.size; ++i) {
            if (homes.homes[static_cast<std::size_t>(i)] == home)
                return group;
        }
    }
    return -1;
}

std::size_t tableSize(int groupSize)
{
    std::size_t size = 1;
    for (int i = 0; i < groupSize; ++i)
        size *= static_cast<std::size_t>(kCells - i);
    return size;
}

// How many of the cells below `cell` are taken: turns a cell into its place among the free ones.
int takenBelow(std::uint32_t taken, int cell)
{
    return std::popcount(taken & ((1U << static_cast<unsigned>(cell)) - 1U));
}

// A placement of a group's pieces (cell of each, in the group's order) as an index into its table:
// the first piece's cell among 16, the next one's among the 15 left, and so on.
std::size_t placementIndex(std::span<const int> cellsOfGroup)
{
    std::size_t index = 0;
    std::uint32_t taken = 0;
    for (std::size_t i = 0; i < cellsOfGroup.size(); ++i) {
        const int cell = cellsOfGroup[i];
        index = index * (kCells - i) + static_cast<std::size_t>(cell - takenBelow(taken, cell));
        taken |= 1U << static_cast<unsigned>(cell);
    }
    return index;
}

// The `place`-th set bit (0-based) of every byte, so a placement is unranked without a loop.
constexpr auto kNthBitOfByte = [] {
    std::array<std::array<std::uint8_t, 8>, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned place = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (((byte >> bit) & 1U) != 0)
                table[byte][place++] = static_cast<std::uint8_t>(bit);
        }
    }
    return table;
}();

// The cell of the `place`-th free cell (0-based) in reading order.
int freeCellAt(std::uint32_t taken, int place)
{
    const std::uint32_t free = ~taken & kAllCells;
    const std::uint32_t low = free & 0xFFU;
    const int lowCount = std::popcount(low);
    return place < lowCount ? kNthBitOfByte[low][static_cast<std::size_t>(place)]
                            : 8 + kNthBitOfByte[free >> 8U][static_cast<std::size_t>(place - lowCount)];
}

// The cells of `cells` and those next to them.
std::uint32_t spread(std::uint32_t cells)
{
    constexpr std::uint32_t kLeftColumn = 0x1111;
    constexpr std::uint32_t kRightColumn = 0x8888;
    return (cells | ((cells << 1U) & ~kLeftColumn) | ((cells >> 1U) & ~kRightColumn) | (cells << 4U) |
            (cells >> 4U)) &
           kAllCells;
}

// The free cells the blank can reach from `start` without moving a piece of the group.
std::uint32_t blankRegion(std::uint32_t taken, int start)
{
    std::uint32_t region = 1U << static_cast<unsigned>(start);
    for (;;) {
        const std::uint32_t grown = spread(region) & ~taken;
        if (grown == region)
            return region;
        region = grown;
    }
}

class BitSet
{
public:
    explicit BitSet(std::size_t bits)
        : words_((bits + 63) / 64, 0)
    {}
    [[nodiscard]] bool test(std::size_t bit) const { return ((words_[bit / 64] >> (bit % 64)) & 1U) != 0; }
    void set(std::size_t bit) { words_[bit / 64] |= std::uint64_t{1} << (bit % 64); }
    void clear() { std::ranges::fill(words_, 0); }
    // The first set bit at or after `bit`; size() when there is none.
    [[nodiscard]] std::size_t nextSet(std::size_t bit) const
    {
        std::size_t word = bit / 64;
        if (word >= words_.size())
            return size();
        std::uint64_t bits = words_[word] & (~std::uint64_t{0} << (bit % 64));
        while (bits == 0) {
            if (++word == words_.size())
                return size();
            bits = words_[word];
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }
    [[nodiscard]] std::size_t size() const { return words_.size() * 64; }

private:
    std::vector<std::uint64_t> words_;
};

// The fewest moves of the group's own pieces from each placement home, by a breadth-first search
// backwards from home over (placement, blank cell). Moving another piece costs nothing, so each
// placement is reached with the whole region the blank can roam in it; a layer holds the states at
// one count. Returns an empty table when stopped.
std::vector<std::uint8_t> buildTable(const Group& group, const std::stop_token& stop)
{
    constexpr std::uint8_t kUnknown = 0xFF;
    const auto size = static_cast<std::size_t>(group.size);
    const auto freeCount = static_cast<std::size_t>(kCells - group.size);
    std::vector<std::uint8_t> table(tableSize(group.size), kUnknown);
    BitSet seen(table.size() * freeCount);
    BitSet layer(table.size() * freeCount);
    BitSet nextLayer(table.size() * freeCount);

    std::array<int, 6> cells{};
    const auto reach = [&](std::size_t index, std::uint32_t taken, int blank, std::uint8_t count) {
        const std::size_t first = index * freeCount;
        if (seen.test(first + static_cast<std::size_t>(blank - takenBelow(taken, blank))))
            return;
        if (table[index] == kUnknown)
            table[index] = count;
        for (std::uint32_t region = blankRegion(taken, blank); region != 0; region &= region - 1) {
            const int cell = std::countr_zero(region);
            const std::size_t state = first + static_cast<std::size_t>(cell - takenBelow(taken, cell));
            seen.set(state);
            nextLayer.set(state);
        }
    };

    std::uint32_t homeTaken = 0;
    for (std::size_t i = 0; i < size; ++i)
        homeTaken |= 1U << static_cast<unsigned>(group.homes[i]);
    reach(placementIndex(std::span(group.homes).first(size)), homeTaken, 0, 0);

    for (std::uint8_t count = 0;; ++count) {
        std::swap(layer, nextLayer);
        nextLayer.clear();
        bool any = false;
        for (std::size_t index = layer.nextSet(0) / freeCount; index < table.size();
             index = layer.nextSet((index + 1) * freeCount) / freeCount) {
            if ((index & 0xFFFU) == 0 && stop.stop_requested())
                return {};
            any = true;
            // Unrank the placement: the last piece's place first.
            std::size_t rest = index;
            std::array<int, 6> places{};
            for (std::size_t i = size; i-- > 0;) {
                const std::size_t radix = kCells - i;
                places[i] = static_cast<int>(rest % radix);
                rest /= radix;
            }
            std::uint32_t taken = 0;
            for (std::size_t i = 0; i < size; ++i) {
                cells[i] = freeCellAt(taken, places[i]);
                taken |= 1U << static_cast<unsigned>(cells[i]);
            }
            // The blank's cells in this layer, a region at a time.
            std::uint32_t blanks = 0;
            for (std::size_t place = 0; place < freeCount; ++place) {
                if (layer.test(index * freeCount + place))
                    blanks |= 1U << static_cast<unsigned>(freeCellAt(taken, static_cast<int>(place)));
            }
            while (blanks != 0) {
                const std::uint32_t region = blankRegion(taken, std::countr_zero(blanks));
                blanks &= ~region;
                // Each piece of the group next to the region may slide into any cell of it there.
                for (std::size_t i = 0; i < size; ++i) {
                    const int from = cells[i];
                    for (std::uint32_t into = spread(1U << static_cast<unsigned>(from)) & region; into != 0;
                         into &= into - 1) {
                        cells[i] = std::countr_zero(into);
                        const std::uint32_t movedTaken =
                            (taken & ~(1U << static_cast<unsigned>(from))) | (into & (~into + 1U));
                        reach(placementIndex(std::span(cells).first(size)), movedTaken, from,
                              static_cast<std::uint8_t>(count + 1));
                    }
                    cells[i] = from;
                }
            }
        }
        if (!any)
            return table;
    }
}

std::size_t groupIndex(int group, const CellsOfPieces& where, bool mirror)
{
    const auto& homes = kGroupsOfHomes[static_cast<std::size_t>(group)];
    std::array<int, 6> cells{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(homes.size); ++i) {
        const int home = homes.homes[i];
        // On the mirrored board the piece at home in `home` is the mirror of the piece at home in
        // the mirrored cell, and it stands where that one stands, mirrored.
        cells[i] = mirror ? mirrored(where[static_cast<std::size_t>(mirrored(home)) + 1])
                          : where[static_cast<std::size_t>(home) + 1];
    }
    return placementIndex(std::span(cells).first(static_cast<std::size_t>(homes.size)));
}

} // namespace

std::shared_ptr<const FourByFourTables> FourByFourTables::build(const std::stop_token& stop)
{
    std::shared_ptr<FourByFourTables> tables(new FourByFourTables());
    for (std::size_t group = 0; group < kGroups; ++group) {
        tables->tables_[group] = buildTable(kGroupsOfHomes[group], stop);
        if (tables->tables_[group].empty())
            return nullptr;
    }
    return tables;
}

int FourByFourTables::groupCount(int group, const CellsOfPieces& where) const
{
    return tables_[static_cast<std::size_t>(group)][groupIndex(group, where, false)];
}

int FourByFourTables::mirroredGroupCount(int group, const CellsOfPieces& where) const
{
    return tables_[static_cast<std::size_t>(group)][groupIndex(group, where, true)];
}

int FourByFourTables::groupOf(int piece)
{
    return groupOfHome(piece - 1);
}

int FourByFourTables::mirroredGroupOf(int piece)
{
    return groupOfHome(mirrored(piece - 1));
}

int FourByFourTables::lowerBound(std::span<const int> cells) const
{
    CellsOfPieces where{};
    for (std::size_t cell = 0; cell < cells.size(); ++cell)
        where[static_cast<std::size_t>(cells[cell])] = static_cast<int>(cell);
    int plain = 0;
    int mirror = 0;
    for (int group = 0; group < kGroups; ++group) {
        plain += groupCount(group, where);
        mirror += mirroredGroupCount(group, where);
    }
    return std::max(plain, mirror);
}

std::size_t FourByFourTables::bytes() const
{
    std::size_t total = 0;
    for (const auto& table : tables_)
        total += table.size();
    return total;
}

} // namespace tilmora::solver
