"""What the three package tools share: a made file put in its place only when
whole, and a failure told in one line."""
import contextlib
import os
import sys
import tempfile

from package_facts import PackageError, printable


@contextlib.contextmanager
def replaced_whole(path):
    """A file made beside path, put there in one step once written; removed
    when the making fails, so that no half-made file is ever left."""
    part = tempfile.NamedTemporaryFile(dir=os.path.dirname(os.path.abspath(path)),
                                       prefix=os.path.splitext(path)[1] + ".", delete=False)
    try:
        with part:
            yield part
        os.chmod(part.name, 0o644)
        os.replace(part.name, path)
    except BaseException:
        os.unlink(part.name)
        raise


def run(tool, body):
    """Runs a tool's body: a failure is one line on standard error and exit status 2."""
    try:
        body()
    except (PackageError, OSError) as error:
        print(f"{tool}: {printable(str(error))}", file=sys.stderr)
        return 2
    return 0
