"""The Tallyon expression engine from Python, through its C library.

    import tallyon
    engine = tallyon.Engine()
    engine.define("LENGTH", "2.5", comment="metres")
    engine.evaluate("LENGTH*2")        # 5.0
    engine.evaluate("(3,4)*LENGTH")    # (7.5+10j)

A real value comes back as a float, any other as a complex. A faulty
expression raises ExpressionError with the engine's message and the columns
it concerns (counted in characters from 1). The module loads the shared
library (libtallyon.so, tallyon.dll) named by the TALLYON_LIBRARY variable,
else the one beside this file, else the one the system finds.
"""

import ctypes
import ctypes.util
import os

__all__ = ["Engine", "ExpressionError", "ParameterError", "Parameter", "version"]


class _Value(ctypes.Structure):
    _fields_ = [("re", ctypes.c_double), ("im", ctypes.c_double), ("is_real", ctypes.c_int),
                ("real", ctypes.c_double)]


class _Error(ctypes.Structure):
    _fields_ = [("first", ctypes.c_int), ("last", ctypes.c_int), ("message", ctypes.c_char * 160)]


class _Param(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char * 17), ("expression", ctypes.c_char * 65), ("comment", ctypes.c_char * 65),
                ("factor_only", ctypes.c_int), ("valid", ctypes.c_int), ("value", _Value)]


class _Notice(ctypes.Structure):
    _fields_ = [("caption", ctypes.c_char_p), ("text", ctypes.c_char_p), ("context", ctypes.c_char_p),
                ("first", ctypes.c_int), ("last", ctypes.c_int)]


# The message buffer is an address, not a c_char_p: ctypes would hand the
# callback a copy of it as bytes, and what it wrote would be lost.
_FUNCTION = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_int, ctypes.POINTER(_Value),
                             ctypes.POINTER(_Value), ctypes.c_void_p, ctypes.c_size_t)


def _candidates():
    named = os.environ.get("TALLYON_LIBRARY")
    if named:
        yield named
        return
    here = os.path.dirname(os.path.abspath(__file__))
    for name in ("tallyon.dll", "libtallyon.so", "libtallyon.so.1", "libtallyon.dylib"):
        path = os.path.join(here, name)
        if os.path.exists(path):
            yield path
    found = ctypes.util.find_library("tallyon")
    if found:
        yield found


def _load():
    tried = []
    for path in _candidates():
        try:
            return ctypes.CDLL(path)
        except OSError as e:
            tried.append(f"{path}: {e}")
    raise ImportError("the Tallyon library was not found (set TALLYON_LIBRARY to libtallyon.so or tallyon.dll)"
                      + ("; tried " + "; ".join(tried) if tried else ""))


_lib = _load()


def _declare(name, result, *arguments):
    function = getattr(_lib, name)
    function.restype = result
    function.argtypes = list(arguments)
    return function


_P = ctypes.c_void_p
_version = _declare("tly_version", ctypes.c_char_p)
_new = _declare("tly_engine_new", _P)
_free = _declare("tly_engine_free", None, _P)
_eval = _declare("tly_eval", ctypes.c_int, _P, ctypes.c_char_p, ctypes.POINTER(_Value), ctypes.POINTER(_Error))
_real_only = _declare("tly_set_real_only", None, _P, ctypes.c_int)
_set = _declare("tly_param_set", ctypes.c_int, _P, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int,
                ctypes.POINTER(_Error))
_delete = _declare("tly_param_delete", ctypes.c_int, _P, ctypes.c_char_p)
_count = _declare("tly_param_count", ctypes.c_int, _P)
_get = _declare("tly_param_get", ctypes.c_int, _P, ctypes.c_int, ctypes.POINTER(_Param))
_read = _declare("tly_list_read", ctypes.c_int, _P, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_char_p)
_write = _declare("tly_list_write", ctypes.c_size_t, _P, ctypes.c_char_p, ctypes.c_size_t)
_notice_count = _declare("tly_notice_count", ctypes.c_int, _P)
_notice_at = _declare("tly_notice_at", ctypes.POINTER(_Notice), _P, ctypes.c_int)
_names_used = _declare("tly_names_used", ctypes.c_int, _P, ctypes.c_char_p, ctypes.POINTER(_Error))
_name_used = _declare("tly_name_used", ctypes.c_char_p, _P, ctypes.c_int)
_define_function = _declare("tly_function_define", ctypes.c_int, _P, ctypes.c_char_p, ctypes.c_int, ctypes.c_int,
                            _FUNCTION, _P)


def version():
    """The library's version, "major.minor.patch"."""
    return _version().decode()


class ExpressionError(ValueError):
    """A fault of an expression: message, and the first and last column it
    concerns (characters from 1; 0 when it concerns none)."""

    def __init__(self, message, first=0, last=0, text=None):
        super().__init__(message if text is None else f"{message} (columns {first} to {last} of {text!r})")
        self.message = message
        self.first = first
        self.last = last
        self.text = text


class ParameterError(ExpressionError):
    """A parameter the table refused: a bad name, a text too long, or an
    expression that does not evaluate."""


class Parameter:
    """One entry of the table; value is None when it did not evaluate."""

    __slots__ = ("name", "expression", "comment", "factor_only", "value")

    def __init__(self, name, expression, comment, factor_only, value):
        self.name, self.expression, self.comment = name, expression, comment
        self.factor_only, self.value = factor_only, value

    def __repr__(self):
        return f"Parameter({self.name!r}, {self.expression!r}, value={self.value!r})"


def _to_python(v):
    return v.real if v.is_real else complex(v.re, v.im)


def _from_python(x, out):
    z = complex(x)
    out.re, out.im = z.real, z.imag
    out.is_real = 1 if z.imag == 0 else 0
    out.real = z.real


def _text(b):
    return b.decode("utf-8", "replace") if b is not None else ""


class Engine:
    """An engine with its own parameter table. Use one from one thread at a
    time; engines on different threads do not meet."""

    def __init__(self):
        self._engine = _new()
        if not self._engine:
            raise MemoryError("no memory for a Tallyon engine")
        self._functions = []  # the callbacks must live as long as the engine

    def close(self):
        """Frees the engine now rather than when it is collected."""
        if self._engine:
            _free(self._engine)
            self._engine = None

    def __del__(self):
        self.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _handle(self):
        if not self._engine:
            raise ValueError("the engine is closed")
        return self._engine

    def evaluate(self, text):
        """The value of TEXT: a float when it is real, else a complex."""
        value, error = _Value(), _Error()
        if _eval(self._handle(), text.encode("utf-8"), ctypes.byref(value), ctypes.byref(error)) != 0:
            raise ExpressionError(_text(error.message), error.first, error.last, text)
        return _to_python(value)

    def set_real_only(self, on=True):
        """While on, a value that is not real is a fault."""
        _real_only(self._handle(), 1 if on else 0)

    def define(self, name, expression, comment="", factor_only=False):
        """Stores NAME = EXPRESSION (a new name at the end, a known one in
        place); raises ParameterError when the table refuses it."""
        error = _Error()
        if _set(self._handle(), name.encode("utf-8"), str(expression).encode("utf-8"), comment.encode("utf-8"),
                1 if factor_only else 0, ctypes.byref(error)) != 0:
            # A message longer than the record is whole in the call's notice.
            message = _text(error.message)
            notices = self.notices()
            if notices and notices[0][1].startswith(message):
                message = notices[0][1]
            raise ParameterError(message, error.first, error.last)

    def delete(self, name):
        """Deletes NAME; KeyError when the table has no such name."""
        if _delete(self._handle(), name.encode("utf-8")) != 0:
            raise KeyError(name)

    def parameters(self):
        """The entries of the table, in order."""
        out = []
        for i in range(1, _count(self._handle()) + 1):
            p = _Param()
            if _get(self._engine, i, ctypes.byref(p)) == 0:
                out.append(Parameter(_text(p.name), _text(p.expression), _text(p.comment), bool(p.factor_only),
                                     _to_python(p.value) if p.valid else None))
        return out

    def __len__(self):
        return _count(self._handle())

    def names_used(self, text):
        """The parameter names TEXT uses, without evaluating it."""
        error = _Error()
        n = _names_used(self._handle(), text.encode("utf-8"), ctypes.byref(error))
        if n < 0:
            raise ExpressionError(_text(error.message), error.first, error.last, text)
        return [_text(_name_used(self._engine, i)) for i in range(n)]

    def read_list(self, data, source=None):
        """Reads parameter list text (str, or bytes in UTF-8 or the ANSI code
        page) into the table; returns the list of (caption, text, context)
        notices it gave."""
        raw = data.encode("utf-8") if isinstance(data, str) else bytes(data)
        if _read(self._handle(), raw, len(raw), source.encode("utf-8") if source else None) < 0:
            raise MemoryError("no memory to read the list")
        return self.notices()

    def write_list(self):
        """The table as parameter list text."""
        n = _write(self._handle(), None, 0)
        buffer = ctypes.create_string_buffer(n + 1)
        _write(self._engine, buffer, n + 1)
        return buffer.raw[:n].decode("utf-8")

    def notices(self):
        """The notices of the last call that gave any: (caption, text, context)."""
        out = []
        for i in range(_notice_count(self._handle())):
            n = _notice_at(self._engine, i).contents
            out.append((_text(n.caption), _text(n.text), _text(n.context)))
        return out

    def function(self, name, compute, min_args=1, max_args=None):
        """Defines #NAME for this engine: COMPUTE gets the arguments as
        floats or complexes and returns a number; an exception it raises
        fails the expression with its message."""
        max_args = min_args if max_args is None else max_args

        def call(_user, count, args, result, message, size):
            try:
                _from_python(compute(*[_to_python(args[i]) for i in range(count)]), result.contents)
                return 0
            except Exception as e:  # the engine shows the message over the call
                text = (str(e) or type(e).__name__).encode("utf-8")[:size - 1]
                ctypes.memmove(message, text + b"\0", len(text) + 1)
                return 1

        callback = _FUNCTION(call)
        if _define_function(self._handle(), name.encode("utf-8"), min_args, max_args, callback, None) != 0:
            raise ValueError(f"#{name} cannot be defined")
        self._functions.append(callback)
