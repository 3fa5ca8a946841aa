#include "player/core/Actions.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "player/core/Limits.h"
#include "player/core/SwfReader.h"

namespace player {

static constexpr size_t MAX_ACTIONS_PER_SCRIPT = 100000;

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

static void ParsePush(CSwfReader& r, CAction& a) {
    while (!r.AtEnd() && r.Ok() && a.values.size() < MAX_ACTION_STACK) {
        CActionValue v;
        switch (r.U8()) {
        case 0: v.eType = CActionValue::EType::String; v.strValue = r.String(); break;
        case 1: v.eType = CActionValue::EType::Number; v.fNumber = r.Float32(); break;
        case 2: case 3: break;
        case 4: v.eType = CActionValue::EType::Register; v.nConstant = r.U8(); break;
        case 5: v.eType = CActionValue::EType::Number; v.fNumber = r.U8() ? 1 : 0; break;
        case 6: v.eType = CActionValue::EType::Number; v.fNumber = r.Double64(); break;
        case 7: v.eType = CActionValue::EType::Number; v.fNumber = int32_t(r.U32()); break;
        case 8: v.eType = CActionValue::EType::Constant; v.nConstant = r.U8(); break;
        case 9: v.eType = CActionValue::EType::Constant; v.nConstant = r.U16(); break;
        default: r.Fail(); return;
        }
        if (r.Ok()) a.values.push_back(std::move(v));
    }
}

CActionScript ParseActions(CSwfReader& r) {
    CActionScript script;
    const size_t nBase = r.Position();
    while (!r.AtEnd() && r.Ok() && script.size() < MAX_ACTIONS_PER_SCRIPT) {
        CAction a;
        a.nOffset = uint32_t(r.Position() - nBase);
        uint8_t code = r.U8();
        if (code == 0) break;
        CSwfReader data;
        if (code >= 0x80) data = r.Sub(r.U16());
        if (!r.Ok()) break;
        a.nCode = code;
        switch (code) {
        case 0x04: a.eOp = EActionOp::NextFrame; break;
        case 0x05: a.eOp = EActionOp::PrevFrame; break;
        case 0x06: a.eOp = EActionOp::Play; break;
        case 0x07: a.eOp = EActionOp::Stop; break;
        case 0x17: a.eOp = EActionOp::Pop; break;
        case 0x20: a.eOp = EActionOp::SetTarget2; break;
        case 0x81: a.eOp = EActionOp::GotoFrame; a.nArg = data.U16(); break;
        case 0x8B: a.eOp = EActionOp::SetTarget; a.strArg = data.String(); break;
        case 0x8C: a.eOp = EActionOp::GotoLabel; a.strArg = data.String(); break;
        case 0x88: {
            a.eOp = EActionOp::ConstantPool;
            uint16_t n = data.U16();
            for (uint16_t i = 0; i < n && data.Ok(); ++i) a.constants.push_back(data.String());
            break;
        }
        case 0x96: a.eOp = EActionOp::Push; ParsePush(data, a); break;
        case 0x99: a.eOp = EActionOp::Jump; a.nArg = data.S16(); break;
        case 0x9D: a.eOp = EActionOp::If; a.nArg = data.S16(); break;
        case 0x9F: {
            a.eOp = EActionOp::GotoFrame2;
            uint8_t flags = data.U8();
            a.bPlay = flags & 1;
            if (flags & 2) a.nSceneBias = data.U16();
            break;
        }
        case 0x87: a.eOp = EActionOp::StoreRegister; a.nArg = data.U8(); break;
        case 0x9B:  // DefineFunction
        case 0x8E: {  // DefineFunction2
            // The body follows the record and runs only when the function is called, which
            // this player does not do: it is stepped over, not run where it stands.
            data.String();
            const uint16_t nParams = data.U16();
            if (code == 0x8E) data.Skip(3);  // register count, flags
            for (uint16_t i = 0; i < nParams && data.Ok(); ++i) {
                if (code == 0x8E) data.U8();  // register
                data.String();
            }
            const uint16_t nBody = data.U16();
            if (data.Ok()) r.Skip(std::min<size_t>(nBody, r.Remaining()));
            a.eOp = EActionOp::Other;
            break;
        }
        case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x0E: case 0x0F: case 0x10: case 0x11:
        case 0x12: case 0x13: case 0x14: case 0x18: case 0x1C: case 0x1D: case 0x21: case 0x22:
        case 0x23: case 0x26: case 0x29: case 0x30: case 0x3D: case 0x3F: case 0x47: case 0x48:
        case 0x49: case 0x4A: case 0x4B: case 0x4C: case 0x4D: case 0x4E: case 0x4F: case 0x50:
        case 0x51: case 0x52: case 0x66: case 0x67:
            a.eOp = EActionOp::Value;
            break;
        default: a.eOp = EActionOp::Other; break;
        }
        a.nNextOffset = uint32_t(r.Position() - nBase);
        script.push_back(std::move(a));
    }
    return script;
}

namespace {

using EType = CActionValue::EType;

CActionValue Number(double f) {
    CActionValue v;
    v.eType = EType::Number;
    v.fNumber = f;
    return v;
}

CActionValue String(std::string s) {
    CActionValue v;
    v.eType = EType::String;
    if (s.size() > MAX_SCRIPT_STRING) s.resize(MAX_SCRIPT_STRING);
    v.strValue = std::move(s);
    return v;
}

CActionValue Target(IActionTarget* p) {
    CActionValue v;
    if (p) {
        v.eType = EType::Target;
        v.pTarget = p;
    }
    return v;
}

// The part of the virtual machine that frame scripts need: a stack of values, registers, the
// variables of timelines, arithmetic and comparisons, the timeline properties a preloader
// reads, and the timeline methods. Calls to anything else give undefined; actions the player
// does not model leave the stack unknown, so later pops give undefined and the actions that
// depend on them do nothing.
class CMachine {
public:
    CMachine(IActionTarget& root, size_t& nBudget) : m_pRoot(&root), m_pTarget(&root), m_nBudget(nBudget) {}
    void Run(const CActionScript& script);

private:
    CActionValue Pop();
    void Push(CActionValue v);
    double Num(const CActionValue& v) const;
    std::string Text(const CActionValue& v) const;
    bool Truthy(const CActionValue& v) const;
    void GotoValue(const CActionValue& v, bool bPlay, uint16_t nBias);
    void SetTarget(const std::string& path);
    void Value(uint8_t nCode);
    // A name as scripts use it: a timeline ("_root", "this", a path), one of the properties of
    // the current timeline, or a variable, with "path:name" or "path.name" naming another
    // timeline's.
    CActionValue GetVariable(const std::string& name);
    void SetVariable(const std::string& name, const CActionValue& v);
    CActionValue Property(IActionTarget* p, const std::string& name);
    CActionValue CallMethod(IActionTarget* p, const std::string& name, const std::vector<CActionValue>& args);
    // A goto may replay a timeline: it costs GOTO_STEPS of the budget.
    void ChargeGoto() { m_nBudget -= std::min(m_nBudget, GOTO_STEPS); }

    IActionTarget* m_pRoot;
    IActionTarget* m_pTarget;  // null after a SetTarget to a timeline the player does not know
    std::vector<CActionValue> m_stack;
    std::vector<std::string> m_constants;
    CActionValue m_registers[4];
    size_t& m_nBudget;
};

CActionValue CMachine::Pop() {
    if (m_stack.empty()) return CActionValue();
    CActionValue v = std::move(m_stack.back());
    m_stack.pop_back();
    return v;
}

void CMachine::Push(CActionValue v) {
    if (m_stack.size() < MAX_ACTION_STACK) m_stack.push_back(std::move(v));
}

double CMachine::Num(const CActionValue& v) const {
    if (v.eType == EType::Number) return v.fNumber;
    // Undefined counts as 0, as in the players of the movies' time, so that a counter that
    // starts unset counts from 0.
    if (v.eType == EType::Undefined) return 0;
    if (v.eType != EType::String) return std::nan("");
    const char* p = v.strValue.c_str();
    char* end = nullptr;
    const double f = std::strtod(p, &end);
    return end != p && *end == 0 ? f : std::nan("");
}

std::string CMachine::Text(const CActionValue& v) const {
    if (v.eType == EType::String) return v.strValue;
    if (v.eType != EType::Number) return std::string();
    if (std::isnan(v.fNumber)) return "NaN";
    if (std::isinf(v.fNumber)) return v.fNumber > 0 ? "Infinity" : "-Infinity";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v.fNumber);
    return buf;
}

bool CMachine::Truthy(const CActionValue& v) const {
    if (v.eType == EType::Number) return v.fNumber != 0 && !std::isnan(v.fNumber);
    if (v.eType == EType::Undefined) return false;
    if (v.eType == EType::Target) return true;
    return !Text(v).empty();
}

void CMachine::GotoValue(const CActionValue& v, bool bPlay, uint16_t nBias) {
    if (!m_pTarget) return;
    if (v.eType == EType::Number) {
        // Frame numbers on the stack count from 1.
        double f = v.fNumber;
        if (!std::isfinite(f) || f < 1 || f > 1e9) return;
        m_pTarget->ActionGotoFrame(int32_t(f) - 1 + nBias, bPlay);
        return;
    }
    std::string s = Text(v);
    if (s.empty()) return;
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (end && *end == 0 && n >= 1 && n < 1000000000L) {
        m_pTarget->ActionGotoFrame(int32_t(n) - 1 + nBias, bPlay);
        return;
    }
    // "target:label" names a frame of another timeline.
    size_t colon = s.rfind(':');
    IActionTarget* pTarget = m_pTarget;
    if (colon != std::string::npos) {
        pTarget = m_pTarget->ResolveTarget(s.substr(0, colon));
        s = s.substr(colon + 1);
        if (!pTarget) return;
    }
    pTarget->ActionGotoLabel(s, bPlay);
}

void CMachine::SetTarget(const std::string& path) {
    m_pTarget = path.empty() ? m_pRoot : m_pRoot->ResolveTarget(path);
}

CActionValue CMachine::Property(IActionTarget* p, const std::string& name) {
    if (!p) return CActionValue();
    if (SameName(name, "_currentframe")) return Number(p->CurrentFrame() + 1);
    if (SameName(name, "_totalframes") || SameName(name, "_framesloaded")) return Number(p->TotalFrames());
    if (const CActionValue* pVar = p->Variable(name)) return *pVar;
    // A timeline: _root, _parent, this, or a child of that name.
    if (name.empty() || name.find_first_of("/.:") != std::string::npos) return CActionValue();
    return Target(p->ResolveTarget(name));
}

// Where a name points: the timeline and the name within it. "path:name" and "path.name" name
// another timeline's.
std::pair<IActionTarget*, std::string> Locate(IActionTarget* p, const std::string& name) {
    if (!p) return {nullptr, std::string()};
    size_t split = name.rfind(':');
    if (split == std::string::npos && name.find('/') == std::string::npos) split = name.rfind('.');
    if (split == std::string::npos) return {p, name};
    if (split == 0) return {p, name.substr(1)};  // ":name" is the current timeline's
    return {p->ResolveTarget(name.substr(0, split)), name.substr(split + 1)};
}

CActionValue CMachine::GetVariable(const std::string& name) {
    // A slash path without a variable names a timeline.
    if (name.find('/') != std::string::npos && name.find(':') == std::string::npos)
        return Target(m_pTarget ? m_pTarget->ResolveTarget(name) : nullptr);
    const auto [p, var] = Locate(m_pTarget, name);
    return Property(p, var);
}

void CMachine::SetVariable(const std::string& name, const CActionValue& v) {
    const auto [p, var] = Locate(m_pTarget, name);
    if (p && !var.empty()) p->SetVariable(var, v);
}

CActionValue CMachine::CallMethod(IActionTarget* p, const std::string& name, const std::vector<CActionValue>& args) {
    if (!p) return CActionValue();
    const CActionValue first = args.empty() ? CActionValue() : args[0];
    if (SameName(name, "play")) {
        p->ActionPlay();
    } else if (SameName(name, "stop")) {
        p->ActionStop();
    } else if (SameName(name, "nextFrame") || SameName(name, "prevFrame")) {
        ChargeGoto();
        p->ActionStep(SameName(name, "nextFrame") ? 1 : -1);
    } else if (SameName(name, "gotoAndPlay") || SameName(name, "gotoAndStop")) {
        ChargeGoto();
        IActionTarget* pSaved = m_pTarget;
        m_pTarget = p;
        GotoValue(first, SameName(name, "gotoAndPlay"), 0);
        m_pTarget = pSaved;
    } else if (SameName(name, "getBytesLoaded") || SameName(name, "getBytesTotal")) {
        return Number(p->BytesTotal());
    }
    return CActionValue();
}

// The generator of random(n), the same sequence in every run.
uint32_t NextRandom() {
    static uint32_t s_state = 0x2545F491u;
    s_state ^= s_state << 13;
    s_state ^= s_state >> 17;
    s_state ^= s_state << 5;
    return s_state;
}

void CMachine::Value(uint8_t nCode) {
    switch (nCode) {
    case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x3F: {  // add, subtract, multiply, divide, modulo
        const double b = Num(Pop()), a = Num(Pop());
        Push(Number(nCode == 0x0A ? a + b : nCode == 0x0B ? a - b : nCode == 0x0C ? a * b
                    : nCode == 0x0D ? a / b : std::fmod(a, b)));
        break;
    }
    case 0x47: {  // add: joins when either side is a string
        const CActionValue b = Pop(), a = Pop();
        if (a.eType == EType::String || b.eType == EType::String)
            Push(String(Text(a) + Text(b)));
        else
            Push(Number(Num(a) + Num(b)));
        break;
    }
    case 0x21: {  // string add
        const CActionValue b = Pop(), a = Pop();
        Push(String(Text(a) + Text(b)));
        break;
    }
    case 0x0E: case 0x0F: case 0x48: case 0x67: {  // equals, less (numbers, or strings when both are)
        const CActionValue b = Pop(), a = Pop();
        const bool bStrings = nCode != 0x0E && nCode != 0x0F && a.eType == EType::String && b.eType == EType::String;
        const CActionValue& lo = nCode == 0x67 ? b : a;
        const CActionValue& hi = nCode == 0x67 ? a : b;
        if (nCode == 0x0E)
            Push(Number(Num(a) == Num(b) ? 1 : 0));
        else if (bStrings)
            Push(Number(lo.strValue < hi.strValue ? 1 : 0));
        else
            Push(Number(Num(lo) < Num(hi) ? 1 : 0));  // NaN compares false
        break;
    }
    case 0x49: case 0x66: {  // equals, strict equals
        const CActionValue b = Pop(), a = Pop();
        bool bEqual;
        if (a.eType == EType::Target || b.eType == EType::Target)
            bEqual = a.eType == b.eType && a.pTarget == b.pTarget;
        else if (a.eType == EType::Undefined || b.eType == EType::Undefined)
            bEqual = a.eType == b.eType;
        else if (a.eType == EType::String && b.eType == EType::String)
            bEqual = a.strValue == b.strValue;
        else
            bEqual = (nCode == 0x49 || a.eType == b.eType) && Num(a) == Num(b);
        Push(Number(bEqual ? 1 : 0));
        break;
    }
    case 0x13: case 0x29: {  // string equals, string less
        const std::string b = Text(Pop()), a = Text(Pop());
        Push(Number((nCode == 0x13 ? a == b : a < b) ? 1 : 0));
        break;
    }
    case 0x10: case 0x11: {  // and, or
        const bool b = Truthy(Pop()), a = Truthy(Pop());
        Push(Number((nCode == 0x10 ? a && b : a || b) ? 1 : 0));
        break;
    }
    case 0x12: Push(Number(Truthy(Pop()) ? 0 : 1)); break;                        // not
    case 0x14: Push(Number(double(Text(Pop()).size()))); break;                   // string length
    case 0x18: Push(Number(std::trunc(Num(Pop())))); break;                       // to integer
    case 0x4A: Push(Number(Num(Pop()))); break;                                   // to number
    case 0x4B: Push(String(Text(Pop()))); break;                                  // to string
    case 0x50: case 0x51: Push(Number(Num(Pop()) + (nCode == 0x50 ? 1 : -1))); break;  // increment, decrement
    case 0x4C: {  // duplicate
        const CActionValue v = Pop();
        Push(v);
        Push(v);
        break;
    }
    case 0x4D: {  // swap
        const CActionValue b = Pop(), a = Pop();
        Push(b);
        Push(a);
        break;
    }
    case 0x26: Pop(); break;  // trace
    case 0x30: {              // random(n): 0 to n - 1
        const double n = Num(Pop());
        Push(Number(n >= 1 && n < 4294967296.0 ? double(NextRandom() % uint32_t(n)) : 0));
        break;
    }
    case 0x1C: Push(GetVariable(Text(Pop()))); break;
    case 0x1D: {
        const CActionValue v = Pop();
        SetVariable(Text(Pop()), v);
        break;
    }
    case 0x22: {  // get property: the timeline's frame properties by index
        const double index = Num(Pop());
        const std::string path = Text(Pop());
        IActionTarget* p = m_pTarget && !path.empty() ? m_pTarget->ResolveTarget(path) : m_pTarget;
        Push(index == 4 ? Property(p, "_currentframe") : index == 5 ? Property(p, "_totalframes")
             : index == 12 ? Property(p, "_framesloaded") : CActionValue());
        break;
    }
    case 0x23: Pop(); Pop(); Pop(); break;  // set property: the player keeps no such properties
    case 0x4E: {                            // get member
        const std::string name = Text(Pop());
        const CActionValue object = Pop();
        Push(object.eType == EType::Target ? Property(object.pTarget, name) : CActionValue());
        break;
    }
    case 0x4F: {  // set member
        const CActionValue v = Pop();
        const std::string name = Text(Pop());
        const CActionValue object = Pop();
        if (object.eType == EType::Target && !name.empty()) object.pTarget->SetVariable(name, v);
        break;
    }
    case 0x3D: case 0x52: {  // call function, call method
        const std::string name = Text(Pop());
        const CActionValue object = nCode == 0x52 ? Pop() : Target(m_pTarget);
        const double n = Num(Pop());
        std::vector<CActionValue> args;
        for (double i = 0; i < n && i < MAX_ACTION_STACK && !m_stack.empty(); ++i) args.push_back(Pop());
        Push(object.eType == EType::Target ? CallMethod(object.pTarget, name, args) : CActionValue());
        break;
    }
    default: break;
    }
}

void CMachine::Run(const CActionScript& script) {
    size_t i = 0;
    while (i < script.size() && m_nBudget > 0) {
        --m_nBudget;
        const CAction& a = script[i];
        switch (a.eOp) {
        case EActionOp::NextFrame: case EActionOp::PrevFrame: case EActionOp::GotoFrame:
        case EActionOp::GotoLabel: case EActionOp::GotoFrame2:
            ChargeGoto();
            break;
        default:
            break;
        }
        size_t next = i + 1;
        switch (a.eOp) {
        case EActionOp::Stop: if (m_pTarget) m_pTarget->ActionStop(); break;
        case EActionOp::Play: if (m_pTarget) m_pTarget->ActionPlay(); break;
        case EActionOp::NextFrame: if (m_pTarget) m_pTarget->ActionStep(1); break;
        case EActionOp::PrevFrame: if (m_pTarget) m_pTarget->ActionStep(-1); break;
        case EActionOp::GotoFrame: if (m_pTarget) m_pTarget->ActionGotoFrame(a.nArg, false); break;
        case EActionOp::GotoLabel: if (m_pTarget) m_pTarget->ActionGotoLabel(a.strArg, false); break;
        case EActionOp::GotoFrame2: GotoValue(Pop(), a.bPlay, a.nSceneBias); break;
        case EActionOp::SetTarget: SetTarget(a.strArg); break;
        case EActionOp::SetTarget2: SetTarget(Text(Pop())); break;
        case EActionOp::Push:
            // Constants and registers stand for their values from here on.
            for (const CActionValue& v : a.values) {
                if (v.eType == EType::Constant)
                    Push(v.nConstant < m_constants.size() ? String(m_constants[v.nConstant]) : CActionValue());
                else if (v.eType == EType::Register)
                    Push(v.nConstant < 4 ? m_registers[v.nConstant] : CActionValue());
                else
                    Push(v);
            }
            break;
        case EActionOp::Pop: Pop(); break;
        case EActionOp::ConstantPool: m_constants = a.constants; break;
        case EActionOp::StoreRegister:
            if (a.nArg < 4) m_registers[a.nArg] = m_stack.empty() ? CActionValue() : m_stack.back();
            break;
        case EActionOp::Jump:
        case EActionOp::If: {
            if (a.eOp == EActionOp::If && !Truthy(Pop())) break;
            int64_t target = int64_t(a.nNextOffset) + a.nArg;
            auto it = std::lower_bound(script.begin(), script.end(), target,
                                       [](const CAction& x, int64_t t) { return int64_t(x.nOffset) < t; });
            next = it != script.end() && int64_t(it->nOffset) == target ? size_t(it - script.begin()) : script.size();
            break;
        }
        case EActionOp::Value: Value(a.nCode); break;
        case EActionOp::Other: m_stack.clear(); break;
        }
        i = next;
    }
}

}  // namespace

void RunActions(const CActionScript& script, IActionTarget& root, size_t& nStepBudget) {
    CMachine m(root, nStepBudget);
    m.Run(script);
}

}  // namespace player
