"""Runs a language server command through one exchange, as an editor starts and stops it:
initialize, initialized, shutdown and exit; fails unless each answer comes and the server ends
with status 0.

    python3 lsp_exchange.py COMMAND...
"""

import json
import subprocess
import sys
from typing import IO, Any


def send(stream: IO[bytes], message: dict[str, Any]) -> None:
    body = json.dumps({"jsonrpc": "2.0", **message}).encode()
    stream.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    stream.flush()


def receive(stream: IO[bytes]) -> dict[str, Any]:
    length = 0
    while (line := stream.readline().strip()) != b"":
        name, _, value = line.partition(b":")
        if name.lower() == b"content-length":
            length = int(value)
    assert length, "the server sent no message"
    message: dict[str, Any] = json.loads(stream.read(length))
    return message


def main() -> int:
    server = subprocess.Popen(sys.argv[1:], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    assert server.stdin and server.stdout
    send(server.stdin, {"id": 1, "method": "initialize",
                        "params": {"processId": None, "rootUri": None, "capabilities": {}}})
    answer = receive(server.stdout)
    assert answer.get("id") == 1 and "capabilities" in answer.get("result", {}), answer
    send(server.stdin, {"method": "initialized", "params": {}})
    send(server.stdin, {"id": 2, "method": "shutdown"})
    answer = receive(server.stdout)
    assert answer.get("id") == 2 and "error" not in answer, answer
    send(server.stdin, {"method": "exit"})
    status = server.wait(timeout=30)
    print(f"language server: initialize and shutdown answered, exit status {status}")
    return status


if __name__ == "__main__":
    sys.exit(main())
